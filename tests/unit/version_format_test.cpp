// Number formats of the version summary.
#include <gtest/gtest.h>

#include "plugins/version_summary.h"

namespace pakvane {
namespace {

TEST(VersionFormatTest, Hex8IsEightUpperCaseDigits)
{
    const struct {
        std::uint32_t value;
        const char* text;
    } cases[] = {{0, "00000000"}, {0x041904E3, "041904E3"}, {0xFFFFFFFF, "FFFFFFFF"}, {0xabc, "00000ABC"},
                 {0x80000000, "80000000"}};
    for (const auto& c : cases) EXPECT_EQ(FormatHex8(c.value), c.text) << c.value;
}

TEST(VersionFormatTest, VersionHasFourDecimalParts)
{
    const struct {
        std::uint32_t ms, ls;
        const char* text;
    } cases[] = {{0, 0, "0.0.0.0"}, {0x0001FFFF, 0xFFFF0000, "1.65535.65535.0"}, {0x000A0014, 0x001E0028, "10.20.30.40"}};
    for (const auto& c : cases) EXPECT_EQ(FormatVersion(c.ms, c.ls), c.text) << c.text;
}

}  // namespace
}  // namespace pakvane
