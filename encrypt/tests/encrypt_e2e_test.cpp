// encrypt run as an installer script runs it: command line in, exit code and
// files out.
#include "encrypted_format.h"
#include "pinned_key.h"

#include <testsupport/program_run.h>
#include <testsupport/scratch_folder.h>
#include <testsupport/test_data.h>

#include <vetra/unique_handle.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchFolder;
using testsupport::readFile;
using testsupport::writeFile;

testsupport::ProgramRun encrypt(const std::vector<std::wstring>& arguments, const fs::path& folder)
{
    auto run = testsupport::runProgram(testsupport::programBesideTests(L"encrypt.exe"), arguments, folder);
    EXPECT_EQ(run.output, "") << "encrypt prints nothing";
    EXPECT_EQ(run.errors, "") << "encrypt prints nothing";
    EXPECT_FALSE(run.timedOut);
    return run;
}

// One block enciphered under the built-in key.
std::string encipherBlock(const std::string& block)
{
    CipherState state;
    LoadCipherKeyBytes(state.key, kPinnedKeyBytes);
    EXPECT_TRUE(SetUpCipherKey(state.key));
    std::string out(16, '\0');
    EXPECT_EQ(EncipherBlock(state.mode, state.key, reinterpret_cast<const std::uint8_t*>(block.data()),
                            reinterpret_cast<std::uint8_t*>(&out[0])),
              128);
    return out;
}

std::string expectedHeader()
{
    std::string header("\x2D\x5C\x3E\x05\xA8\x5C\x2C\x4B\xAC\x95\x3B\xF4\xF2\xE1\xBB\xB5"
                       "\x00\x00\x20\x00\x02\x00\x00\x00",
                       24);
    header.resize(144, '\0');
    return header;
}

FILETIME lastWriteTime(const fs::path& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    return data.ftLastWriteTime;
}

TEST(EncryptProgram, SmallInputsGiveTheHeaderAndPaddedBlocks)
{
    struct Case {
        std::size_t inputSize;
        std::size_t outputSize;
        std::string padding;  // what follows the input and its added 0x00 in the last block
    };
    const std::vector<Case> cases = {
        {0, 160, "\x0E" + std::string(14, '\xFF')},
        {14, 160, std::string(1, '\0')},
        {15, 176, "\x0F" + std::string(15, '\xFF')},  // a whole block of padding
        {16, 176, "\x0E" + std::string(14, '\xFF')},
    };
    ScratchFolder folder;
    for (const auto& c : cases) {
        const std::string input = testsupport::pseudoRandomBytes(c.inputSize, static_cast<unsigned>(c.inputSize) + 1);
        writeFile(folder / "plain.bin", input);
        const auto run = encrypt({L"1", L"plain.bin", L"plain.enc"}, folder.path());
        ASSERT_EQ(run.exitCode, 0u) << c.inputSize;
        const std::string output = readFile(folder / "plain.enc");
        ASSERT_EQ(output.size(), c.outputSize) << c.inputSize;
        EXPECT_EQ(output.substr(0, 144), expectedHeader());

        const std::string content = input + '\0';
        const std::size_t lastOffset = c.outputSize - 144 - 16;
        if (lastOffset > 0) {
            EXPECT_EQ(output.substr(144, 16), encipherBlock(content.substr(0, 16))) << c.inputSize;
        }
        const std::string lastBlock = content.substr(lastOffset) + c.padding;
        ASSERT_EQ(lastBlock.size(), 16u) << c.inputSize;
        EXPECT_EQ(output.substr(144 + lastOffset), encipherBlock(lastBlock)) << c.inputSize;
        EXPECT_EQ(readFile(folder / "plain.bin"), input) << "the input is never modified";
    }
}

// One known answer, written out: the 14 bytes "known answer" CR LF give the
// header and one block, enciphered under the pinned key by nettle's Twofish.
TEST(EncryptProgram, WritesTheKnownAnswerFile)
{
    ScratchFolder folder;
    writeFile(folder / "known.txt", "known answer\r\n");
    const auto run = encrypt({L"1", L"known.txt", L"known.enc"}, folder.path());
    ASSERT_EQ(run.exitCode, 0u);
    const std::string ciphertext("\xD9\x41\x97\x26\x23\x02\xD1\x27\x44\xA7\x55\x2E\xC8\x57\x5E\x01", 16);
    EXPECT_EQ(readFile(folder / "known.enc"), expectedHeader() + ciphertext);
}

TEST(EncryptProgram, RunsAreRepeatableAndEqualAlignedBlocksStayEqual)
{
    ScratchFolder folder;
    const std::string repeated = testsupport::pseudoRandomBytes(16, 99);
    const std::string input = repeated + testsupport::pseudoRandomBytes(16, 98) + repeated + testsupport::pseudoRandomBytes(100003, 97);
    writeFile(folder / "data.bin", input);
    ASSERT_EQ(encrypt({L"1", L"data.bin", L"first.enc"}, folder.path()).exitCode, 0u);
    ASSERT_EQ(encrypt({L"1", L"data.bin", L"second.enc"}, folder.path()).exitCode, 0u);
    const std::string first = readFile(folder / "first.enc");
    EXPECT_EQ(first, readFile(folder / "second.enc"));
    ASSERT_EQ(first.size(), 144 + PaddedLength(input.size() + 1));
    EXPECT_EQ(first.substr(144, 16), first.substr(144 + 32, 16));
    EXPECT_NE(first.substr(144, 16), first.substr(144 + 16, 16));
    EXPECT_EQ(first.substr(144 + 16, 16), encipherBlock(input.substr(16, 16)));
}

TEST(EncryptProgram, AcceptsSelectorsThatReadAsOne)
{
    ScratchFolder folder;
    writeFile(folder / "data.txt", "some text");
    for (const std::wstring selector : {L"01", L"+1", L" 1", L"1x"}) {
        fs::remove(folder / "data.enc");
        EXPECT_EQ(encrypt({selector, L"data.txt", L"data.enc"}, folder.path()).exitCode, 0u);
        EXPECT_EQ(fs::file_size(folder / "data.enc"), 160u);
    }
}

TEST(EncryptProgram, BadCommandLinesTouchNoFile)
{
    struct Case {
        std::vector<std::wstring> arguments;
        DWORD exitCode;
    };
    const std::vector<Case> cases = {
        {{L"2", L"data.txt", L"out.enc"}, 2},
        {{L"0", L"data.txt", L"out.enc"}, 2},
        {{L"abc", L"data.txt", L"new.enc"}, 2},
        {{L"-1", L"data.txt", L"new.enc"}, 2},
        {{}, 1},
        {{L"1"}, 1},
        {{L"1", L"data.txt"}, 1},
        {{L"1", L"data.txt", L"out.enc", L"extra"}, 1},
        {{L"2", L"data.txt", L"out.enc", L"extra"}, 1},
    };
    ScratchFolder folder;
    writeFile(folder / "data.txt", "some text");
    writeFile(folder / "out.enc", "older output");
    const FILETIME before = lastWriteTime(folder / "out.enc");
    for (const auto& c : cases) {
        EXPECT_EQ(encrypt(c.arguments, folder.path()).exitCode, c.exitCode) << c.arguments.size() << " arguments";
        EXPECT_EQ(readFile(folder / "out.enc"), "older output");
        const FILETIME after = lastWriteTime(folder / "out.enc");
        EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
        EXPECT_FALSE(fs::exists(folder / "new.enc"));
    }
}

TEST(EncryptProgram, FailuresExitWithThree)
{
    ScratchFolder folder;
    writeFile(folder / "data.txt", "precious data");
    writeFile(folder / "out.enc", "older output");

    EXPECT_EQ(encrypt({L"1", L"data.txt", L"data.txt"}, folder.path()).exitCode, 3u) << "same file twice";
    EXPECT_EQ(readFile(folder / "data.txt"), "precious data");

    EXPECT_EQ(encrypt({L"1", L"missing.txt", L"out.enc"}, folder.path()).exitCode, 3u);
    EXPECT_EQ(readFile(folder / "out.enc"), "older output") << "no output opened without an input";

    // Another process holding the input open for writing keeps it from being read.
    {
        vetra::unique_file writer(::CreateFileW((folder / "data.txt").c_str(), GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE /* shareMode */, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer);
        EXPECT_EQ(encrypt({L"1", L"data.txt", L"locked.enc"}, folder.path()).exitCode, 3u);
        EXPECT_FALSE(fs::exists(folder / "locked.enc"));
    }

    EXPECT_EQ(encrypt({L"1", L"data.txt", L"no\\such\\folder.enc"}, folder.path()).exitCode, 3u);
}

TEST(EncryptProgram, TakesPathsBeyondTheAnsiCodePage)
{
    ScratchFolder folder;
    const fs::path input = folder / L"\u0434\u0430\u043D\u043D\u044B\u0435 \u2713.txt";
    const fs::path output = folder / L"\u6697\u53F7\u5316 \u00E9t\u00E9.enc";
    writeFile(input, "text behind a Unicode name");
    ASSERT_EQ(encrypt({L"1", input.wstring(), output.wstring()}, folder.path()).exitCode, 0u);
    EXPECT_EQ(fs::file_size(output), 144u + 32u);
}

}  // namespace
