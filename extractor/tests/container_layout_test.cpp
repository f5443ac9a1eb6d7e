#include <sfx/container_layout.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string marker = "[VEKSFX]";

std::size_t marker_in(const std::string& bytes)
{
    return sfx::find_marker(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

TEST(ContainerLayout, ComposedMarkerIsTheSectionLine)
{
    const auto composed = sfx::compose_marker();
    EXPECT_EQ(std::string(composed.data(), composed.size()), marker);
}

TEST(ContainerLayout, MarkerIsFoundAnywhereUpToItsLastFittingPosition)
{
    EXPECT_EQ(marker_in(marker), 0u);
    EXPECT_EQ(marker_in("xyz" + marker + "PK"), 3u);
    EXPECT_EQ(marker_in("[VEKSFX"), 7u);
    EXPECT_EQ(marker_in(""), 0u);
    EXPECT_EQ(marker_in("[VEK" + std::string(1, '\0') + "SFX]"), 9u);
}

TEST(ContainerLayout, SignatureSearchStartsAtTheGivenOffset)
{
    const std::string bytes = std::string("PK\x03\x04") + marker + "A=1\r\n" + std::string("\0\0PK\x03\x04", 6);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    EXPECT_EQ(sfx::find_local_file_signature(data, bytes.size(), 0), 0u);
    const std::size_t archive = sfx::find_local_file_signature(data, bytes.size(), 4);
    EXPECT_EQ(archive, bytes.size() - 4);
    EXPECT_EQ(sfx::settings_text_length(data, {4, archive}), marker.size() + 5);
    EXPECT_EQ(sfx::find_local_file_signature(data, bytes.size(), bytes.size() - 3), bytes.size());
}

}  // namespace
