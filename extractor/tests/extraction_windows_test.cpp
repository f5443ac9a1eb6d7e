// The windows through which an extracted file is written. The arithmetic is
// the same in both builds (fixed-width types), so these cases also stand for
// the 32-bit build, which cannot run here.
#include "extraction_windows.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using unfurler::extraction_chunk_size;

constexpr std::uint64_t four_gib = std::uint64_t{1} << 32;

std::uint64_t joined(unfurler::dword_halves halves)
{
    return (std::uint64_t{halves.high} << 32) | halves.low;
}

TEST(ExtractionWindows, TileTheWholeFileAtSixtyFourBitOffsets)
{
    struct sized {
        std::uint64_t size;
        std::uint64_t windows;
        std::uint32_t last_length;
    };
    const sized cases[] = {
        {1, 1, 1},
        {extraction_chunk_size - 1, 1, extraction_chunk_size - 1},
        {extraction_chunk_size, 1, extraction_chunk_size},
        {extraction_chunk_size + 1, 2, 1},
        {four_gib - 1, 41, 100663295},
        {four_gib, 41, 100663296},
        {four_gib + 10, 41, 100663306},  // the last window runs past 4 GiB
        {41 * std::uint64_t{extraction_chunk_size} + 1, 42, 1},  // first offset past 4 GiB
        {5 * four_gib + 3, 205, 83886083},
        {std::uint64_t{1} << 40, 10486, 79691776},
    };
    for (const sized& c : cases) {
        SCOPED_TRACE(c.size);
        ASSERT_EQ(unfurler::window_count(c.size), c.windows);
        std::uint64_t next = 0;
        for (std::uint64_t index = 0; index < c.windows; ++index) {
            const unfurler::file_window window = unfurler::extraction_window(c.size, index);
            ASSERT_EQ(joined(window.offset), next) << "window " << index;
            // Views start on the 64 KiB mapping granularity.
            ASSERT_EQ(window.offset.low % 65536, 0u);
            ASSERT_EQ(window.length, index + 1 < c.windows ? extraction_chunk_size : c.last_length);
            next += window.length;
        }
        EXPECT_EQ(next, c.size);
    }
    EXPECT_EQ(unfurler::window_count(0), 0u);
}

TEST(ExtractionWindows, OffsetsPastFourGibKeepTheirHighHalf)
{
    const unfurler::file_window window = unfurler::extraction_window(5 * four_gib, 41);
    EXPECT_EQ(window.offset.high, 1u);
    EXPECT_EQ(window.offset.low, 41 * std::uint64_t{extraction_chunk_size} - four_gib);
    const unfurler::dword_halves size = unfurler::split_halves(four_gib + 10);
    EXPECT_EQ(size.high, 1u);
    EXPECT_EQ(size.low, 10u);
}

}  // namespace
