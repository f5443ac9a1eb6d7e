// EncryptFile in this process: which check ends a run, and what it leaves on
// disk.
#include <windows.h>

#include "encrypt_file.h"

#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchFolder;
using testsupport::readFile;
using testsupport::writeFile;

TEST(EncryptFile, MissingInputLeavesAnExistingOutputAlone)
{
    ScratchFolder folder;
    writeFile(folder / "out.enc", "keep me");
    EXPECT_EQ(EncryptFile((folder / "missing.txt").c_str(), (folder / "out.enc").c_str()),
              EncryptFileResult::inputNotOpened);
    EXPECT_EQ(readFile(folder / "out.enc"), "keep me");
}

TEST(EncryptFile, SameFileTwiceFailsAtTheOutputAndLeavesItUnchanged)
{
    ScratchFolder folder;
    writeFile(folder / "data.txt", "plain text");
    EXPECT_EQ(EncryptFile((folder / "data.txt").c_str(), (folder / "data.txt").c_str()),
              EncryptFileResult::outputNotOpened);
    // The same file reached through another spelling of its path.
    const fs::path otherSpelling = folder.path() / "." / "DATA.TXT";
    EXPECT_EQ(EncryptFile((folder / "data.txt").c_str(), otherSpelling.c_str()), EncryptFileResult::outputNotOpened);
    EXPECT_EQ(readFile(folder / "data.txt"), "plain text");
}

TEST(EncryptFile, OutputInAMissingFolderIsNotOpened)
{
    ScratchFolder folder;
    writeFile(folder / "data.txt", "plain text");
    EXPECT_EQ(EncryptFile((folder / "data.txt").c_str(), (folder / "no" / "such" / "out.enc").c_str()),
              EncryptFileResult::outputNotOpened);
    EXPECT_FALSE(fs::exists(folder / "no"));
}

// Sizes from 2 GiB on do not fit the format's signed 32-bit size; the files
// are sparse, so they cost no disk space. 4 GiB + 15 would pass as 15 bytes
// if the size were cut to 32 bits.
TEST(EncryptFile, InputsOf2GiBAndMoreAreRefusedBeforeAnythingIsRead)
{
    ScratchFolder folder;
    for (const std::uintmax_t size : {std::uintmax_t{1} << 31, (std::uintmax_t{1} << 32) + 15}) {
        {
            writeFile(folder / "huge.bin", "");
            fs::resize_file(folder / "huge.bin", size);
        }
        writeFile(folder / "out.enc", "old content");
        EXPECT_EQ(EncryptFile((folder / "huge.bin").c_str(), (folder / "out.enc").c_str()),
                  EncryptFileResult::sizeUnusable)
            << size;
        EXPECT_EQ(fs::file_size(folder / "out.enc"), 0u) << "the output was already cut to zero length";
        fs::remove(folder / "huge.bin");
    }
}

TEST(EncryptFile, WritesHeaderAndCiphertext)
{
    ScratchFolder folder;
    writeFile(folder / "data.txt", std::string(100, 'x'));
    writeFile(folder / "out.enc", std::string(5000, 'o'));
    ASSERT_EQ(EncryptFile((folder / "data.txt").c_str(), (folder / "out.enc").c_str()), EncryptFileResult::succeeded);
    EXPECT_EQ(fs::file_size(folder / "out.enc"), 144u + 112u) << "an older, longer output is replaced";
    EXPECT_EQ(readFile(folder / "data.txt"), std::string(100, 'x'));
}

}  // namespace
