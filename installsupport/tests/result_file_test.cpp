#include "cluster_bytes.h"
#include "result_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(ResultFile, EscapeBackslashesDoublesEachBackslashOnce)
{
    EXPECT_EQ(EscapeBackslashes(""), "");
    EXPECT_EQ(EscapeBackslashes("plain=text \"q\"\n\xE9"), "plain=text \"q\"\n\xE9");
    EXPECT_EQ(EscapeBackslashes("\\"), "\\\\");
    EXPECT_EQ(EscapeBackslashes("C:\\t\\r.txt"), "C:\\\\t\\\\r.txt");
    EXPECT_EQ(EscapeBackslashes("a\\\\b"), "a\\\\\\\\b");
    EXPECT_EQ(EscapeBackslashes("\\\\server\\share\\"), "\\\\\\\\server\\\\share\\\\");
}

TEST(ResultFile, HeaderLinesThenPropertiesInByteOrder)
{
    PropertyMap props;
    props["TotalBytes"] = "500";
    props["Path"] = "D:\\";
    props["FreeBytes"] = "100";
    props["a\\key"] = "x";        // keys stay unescaped
    props["\xC4nder"] = "umlaut";  // bytes above 0x7F sort after ASCII
    EXPECT_EQ(FormatResultFile(0, "GetDiskSpace", "C:\\t\\r.txt", props),
              "ErrorCode=0\n"
              "Command=GetDiskSpace\n"
              "File=C:\\\\t\\\\r.txt\n"
              "FreeBytes=100\n"
              "Path=D:\\\\\n"
              "TotalBytes=500\n"
              "a\\key=x\n"
              "\xC4nder=umlaut\n");
}

TEST(ResultFile, CommandWithoutPropertiesGivesThreeLines)
{
    EXPECT_EQ(FormatResultFile(16, "SetRegistryForZelQual", "out\\r.txt", {}),
              "ErrorCode=16\nCommand=SetRegistryForZelQual\nFile=out\\\\r.txt\n");
    EXPECT_EQ(FormatResultFile(-1234567, "C\\md", "", {}), "ErrorCode=-1234567\nCommand=C\\md\nFile=\n");
}

TEST(ClusterBytes, CountsBeyond4GiBExactly)
{
    EXPECT_EQ(ClusterBytes(0, 8, 512), 0u);
    EXPECT_EQ(ClusterBytes(1, 8, 512), 4096u);
    // 2 TiB of 4 KiB clusters: every factor fits 32 bits, the product does not.
    EXPECT_EQ(ClusterBytes(536870912u, 8, 512), std::uint64_t{1} << 41);
    EXPECT_EQ(ClusterBytes(0xFFFFFFFFu, 0xFFFFFFFFu, 1), 0xFFFFFFFE00000001u);
    EXPECT_EQ(ClusterBytes(0xFFFFFFFFu, 128, 4096), 0xFFFFFFFFull * 524288u);
}

}  // namespace
