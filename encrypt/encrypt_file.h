#pragma once
// Encrypts one file into the encrypted file format.

// <windows.h> maps the name EncryptFile onto the system's own file-system
// encryption call; this program's function must keep its name. Include this
// header after <windows.h> where a file needs both.
#ifdef EncryptFile
#undef EncryptFile
#endif

// How a run of EncryptFile ended; every value but succeeded is a failure,
// listed in the order the steps are checked.
enum class EncryptFileResult {
    succeeded,
    inputNotOpened,
    outputNotOpened,
    keyRefused,
    sizeUnusable,  // the size query failed, or the input has 2 GiB or more
    inputBufferNotObtained,
    shortRead,
    outputBufferNotObtained,
    encryptionRefused,
    headerWriteShort,
    ciphertextWriteShort,
    outputNotCompleted,  // the buffered end of the output could not be written
};

// Writes the encrypted form of inputPath (header, then the padded plaintext
// enciphered with the built-in key) to outputPath, created or cut to zero
// length. Both files are open with write access denied to other opens for
// the whole run, so the same file given twice fails when the output is
// opened. The whole input and the whole ciphertext are held in memory. The
// input is never modified; an output that was opened stays on disk after a
// later failure, empty or partly written. If the input cannot be opened, the
// output is not touched.
EncryptFileResult EncryptFile(const wchar_t* inputPath, const wchar_t* outputPath);
