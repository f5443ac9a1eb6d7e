#include "zip64_choice.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kLimit = 0xFFFFFFFFu;

TEST(Zip64Choice, SmallEntriesStayThirtyTwoBit)
{
    for (std::uint64_t size : {0ull, 1ull, 4096ull, 1ull << 30, 3ull << 30})
        EXPECT_FALSE(needsZip64ForDeflate(size)) << size;
}

TEST(Zip64Choice, EntriesWhoseDeflatedFormMightPassFourGibibytesGetZip64)
{
    // Incompressible data just under 4 GiB grow past it when deflated.
    for (std::uint64_t size : {kLimit, kLimit - 1, kLimit - 200000, kLimit - (1ull << 20), 5ull << 30})
        EXPECT_TRUE(needsZip64ForDeflate(size)) << size;
}

TEST(Zip64Choice, TheChoiceTurnsWhereTheBoundReachesTheLimit)
{
    // Find the largest size that stays 32-bit: its bound is below the limit,
    // the next size's is not, and the margin is that of stored blocks (about
    // 0.03 %, 1.3 MiB here), not more.
    std::uint64_t low = 0, high = kLimit;
    while (high - low > 1) {
        const std::uint64_t middle = low + (high - low) / 2;
        (needsZip64ForDeflate(middle) ? high : low) = middle;
    }
    EXPECT_LT(deflateBound64(low), kLimit);
    EXPECT_GE(deflateBound64(high), kLimit);
    EXPECT_GT(kLimit - low, 1000000u);
    EXPECT_LT(kLimit - low, 2000000u);
}

TEST(Zip64Choice, BoundCoversStoredBlockOverhead)
{
    // Stored blocks cost 5 bytes per block of at most 16 KiB at zlib's default
    // memory level; the bound must cover that for any size.
    for (std::uint64_t size : {0ull, 1ull, 16384ull, 1ull << 20, 1ull << 32}) {
        const std::uint64_t storedBlocks = size / 16384 + 1;
        EXPECT_GE(deflateBound64(size), size + 5 * storedBlocks) << size;
    }
}

}  // namespace
