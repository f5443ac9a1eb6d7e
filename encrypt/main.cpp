// encrypt: enciphers one file with the built-in key into the encrypted file
// format. Prints nothing; the exit code tells how the run ended.
//   encrypt 1 <inputFile> <outputFile>
#include <vetra/unique_handle.h>

#include <windows.h>

#include "encrypt_file.h"
#include "selector.h"

namespace {

constexpr int kExitSucceeded = 0;
constexpr int kExitWrongArgumentCount = 1;
constexpr int kExitWrongSelector = 2;
constexpr int kExitEncryptionFailed = 3;

// Asks the system to end the process on heap corruption, where it can.
void hardenHeap()
{
    using HeapSetInformationFn = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
    vetra::unique_module kernel32(::LoadLibraryA("kernel32.dll"));
    if (!kernel32)
        return;
    auto heapSetInformation = reinterpret_cast<HeapSetInformationFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32.get(), "HeapSetInformation")));
    if (heapSetInformation)
        heapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    hardenHeap();
    if (argc != 4)
        return kExitWrongArgumentCount;
    if (SelectorValue(argv[1]) != 1)
        return kExitWrongSelector;
    return EncryptFile(argv[2], argv[3]) == EncryptFileResult::succeeded ? kExitSucceeded : kExitEncryptionFailed;
}
