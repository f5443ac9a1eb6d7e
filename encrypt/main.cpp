// encrypt: enciphers one file with the built-in key into the encrypted file
// format. Prints nothing; the exit code tells how the run ended.
//   encrypt 1 <inputFile> <outputFile>
#include <vetra/dll_search.h>
#include <vetra/heap_hardening.h>

#include <windows.h>

#include "encrypt_file.h"
#include "selector.h"

namespace {

constexpr int kExitSucceeded = 0;
constexpr int kExitWrongArgumentCount = 1;
constexpr int kExitWrongSelector = 2;
constexpr int kExitEncryptionFailed = 3;

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    vetra::restrict_dll_search();
    vetra::harden_heap();
    if (argc != 4)
        return kExitWrongArgumentCount;
    if (SelectorValue(argv[1]) != 1)
        return kExitWrongSelector;
    return EncryptFile(argv[2], argv[3]) == EncryptFileResult::succeeded ? kExitSucceeded : kExitEncryptionFailed;
}
