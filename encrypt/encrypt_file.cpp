#include "encrypt_file.h"

#include "built_in_key.h"
#include "encrypted_format.h"
#include "twofish.h"

#include <share.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

struct StdioFileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueStdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

struct MemoryReleaser {
    void operator()(std::uint8_t* memory) const noexcept { std::free(memory); }
};
using UniqueBuffer = std::unique_ptr<std::uint8_t[], MemoryReleaser>;

UniqueBuffer allocateBuffer(std::size_t size)
{
    return UniqueBuffer(static_cast<std::uint8_t*>(std::malloc(size)));
}

// The input size, or -1 when it cannot be taken or does not fit a signed
// 32-bit value. Asked in 64 bits, so that a file of 4 GiB and more is not
// mistaken for a small one.
long long inputSize(std::FILE* input)
{
    if (_fseeki64(input, 0, SEEK_END) != 0)
        return -1;
    const long long size = _ftelli64(input);
    if (size < 0 || size > INT32_MAX)
        return -1;
    if (_fseeki64(input, 0, SEEK_SET) != 0)
        return -1;
    return size;
}

}  // namespace

EncryptFileResult EncryptFile(const wchar_t* inputPath, const wchar_t* outputPath)
{
    EncryptedFileHeader header;
    FillEncryptedFileHeader(header);

    // Write access denied to others: nobody changes the input while it is
    // read, or the output while it is written.
    UniqueStdioFile input(_wfsopen(inputPath, L"rb", _SH_DENYWR));
    if (!input)
        return EncryptFileResult::inputNotOpened;
    UniqueStdioFile output(_wfsopen(outputPath, L"wb+", _SH_DENYWR));
    if (!output)
        return EncryptFileResult::outputNotOpened;

    CipherState cipher;
    std::uint32_t keyWords[4];
    FillBuiltInKeyWords(keyWords);
    for (int i = 0; i < 4; ++i)
        cipher.key.keyWords[i] = keyWords[i];
    if (!SetUpCipherKey(cipher.key))
        return EncryptFileResult::keyRefused;

    const long long size = inputSize(input.get());
    if (size < 0)
        return EncryptFileResult::sizeUnusable;
    const auto plainSize = static_cast<std::size_t>(size);

    UniqueBuffer plaintext = allocateBuffer(plainSize + kCipherBlockSize);
    if (!plaintext)
        return EncryptFileResult::inputBufferNotObtained;
    if (std::fread(plaintext.get(), 1, plainSize, input.get()) != plainSize)
        return EncryptFileResult::shortRead;
    plaintext[plainSize] = 0x00;
    const std::size_t contentSize = plainSize + 1;

    const std::size_t room = contentSize - contentSize % kCipherBlockSize + kCipherBlockSize + 1;
    UniqueBuffer ciphertext = allocateBuffer(room);
    if (!ciphertext)
        return EncryptFileResult::outputBufferNotObtained;
    std::size_t ciphertextLength = 0;
    if (EncryptBuffer(cipher, plaintext.get(), contentSize, ciphertext.get(), room, ciphertextLength) != 0)
        return EncryptFileResult::encryptionRefused;

    if (std::fwrite(header.bytes, 1, sizeof header.bytes, output.get()) != sizeof header.bytes)
        return EncryptFileResult::headerWriteShort;
    if (std::fwrite(ciphertext.get(), 1, ciphertextLength, output.get()) != ciphertextLength)
        return EncryptFileResult::ciphertextWriteShort;
    // Part of the output may still sit in the stream's buffer; only a
    // successful close means it all reached the file.
    if (std::fclose(output.release()) != 0)
        return EncryptFileResult::outputNotCompleted;
    return EncryptFileResult::succeeded;
}
