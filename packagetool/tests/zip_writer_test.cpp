// The zip writer Parcelor packs with refuses header fields that do not fit
// their 16-bit length fields (a name, comment or extra field over 65535
// bytes), instead of writing a header whose length wraps around and whose
// bytes overrun the writer's buffer. A refused entry leaves the package
// whole.
#include "zip_writer.h"

#include <testsupport/fixture_zip.h>
#include <testsupport/scratch_folder.h>

#include <gtest/gtest.h>

#include <minizip/zip.h>

#include <cstddef>
#include <string>

namespace {

using testsupport::ScratchFolder;

enum class Field { name, comment, localExtra, centralExtra };

struct FieldCase {
    const char* label;
    Field field;
    std::size_t length;
    int expected;
};

// Opens one stored entry whose chosen field has the given length (the other
// fields stay short) and returns the writer's status.
int openEntry(zipFile zip, Field field, std::size_t length)
{
    const std::string big(length, field == Field::name ? 'n' : 'x');
    const std::string name = field == Field::name ? big : "short.txt";
    const char* comment = field == Field::comment ? big.c_str() : nullptr;
    const void* localExtra = field == Field::localExtra ? big.data() : nullptr;
    const void* centralExtra = field == Field::centralExtra ? big.data() : nullptr;
    const auto localSize = static_cast<uInt>(field == Field::localExtra ? length : 0);
    const auto centralSize = static_cast<uInt>(field == Field::centralExtra ? length : 0);
    zip_fileinfo info{};
    return zipOpenNewFileInZip4_64(zip, name.c_str(), &info, localExtra, localSize, centralExtra, centralSize,
                                   comment, /* method */ 0, /* level */ 0, /* raw */ 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                   Z_DEFAULT_STRATEGY, /* password */ nullptr, /* crc */ 0,
                                   /* version made by */ 0, /* flag base */ 0, /* zip64 */ 0);
}

class OversizedHeaderField : public testing::TestWithParam<FieldCase> {};

TEST_P(OversizedHeaderField, IsRefusedAndThePackageStaysWhole)
{
    const FieldCase& param = GetParam();
    ScratchFolder scratch;
    const auto package = scratch / "package.zip";
    {
        ZipWriter writer(package.string(), APPEND_STATUS_CREATE);
        ASSERT_TRUE(writer.isOpen());
        const int status = openEntry(writer.get(), param.field, param.length);
        EXPECT_EQ(status, param.expected);
        if (status == ZIP_OK) {
            ASSERT_EQ(zipWriteInFileInZip(writer.get(), "abc", 3), ZIP_OK);
            ASSERT_EQ(zipCloseFileInZip(writer.get()), ZIP_OK);
        }
        // Whatever happened to that entry, the next one is written normally.
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip(writer.get(), "after.txt", &info, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, Z_DEFAULT_COMPRESSION),
                  ZIP_OK);
        ASSERT_EQ(zipWriteInFileInZip(writer.get(), "after", 5), ZIP_OK);
        ASSERT_EQ(zipCloseFileInZip(writer.get()), ZIP_OK);
        ASSERT_EQ(writer.close(), ZIP_OK);
    }

    const auto entries = testsupport::readPackage(package);
    const std::size_t expectedCount = param.expected == ZIP_OK ? 2 : 1;
    ASSERT_EQ(entries.size(), expectedCount);
    for (const auto& entry : entries) {
        EXPECT_TRUE(entry.crcOk) << entry.name.size();
    }
    EXPECT_EQ(entries.back().name, "after.txt");
    EXPECT_EQ(entries.back().data, "after");
    if (param.expected == ZIP_OK && param.field == Field::name) {
        EXPECT_EQ(entries.front().name, std::string(param.length, 'n'));
    }
}

INSTANTIATE_TEST_SUITE_P(
    ZipWriter, OversizedHeaderField,
    testing::Values(FieldCase{"name_of_70000_bytes", Field::name, 70000, ZIP_PARAMERROR},
                    FieldCase{"name_of_65536_bytes", Field::name, 65536, ZIP_PARAMERROR},
                    FieldCase{"name_of_65535_bytes", Field::name, 65535, ZIP_OK},
                    FieldCase{"comment_of_70000_bytes", Field::comment, 70000, ZIP_PARAMERROR},
                    FieldCase{"local_extra_of_70000_bytes", Field::localExtra, 70000, ZIP_PARAMERROR},
                    FieldCase{"central_extra_of_70000_bytes", Field::centralExtra, 70000, ZIP_PARAMERROR}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.label); });

}  // namespace
