// Number formats of the version summary.
#include <gtest/gtest.h>

#include "plugins/version_summary.h"

namespace pakvane {
namespace {

TEST(VersionFormatTest, HexKeysAndDottedVersions)
{
    EXPECT_EQ(FormatHex8(0), "00000000");
    EXPECT_EQ(FormatHex8(0x041904E3), "041904E3");
    EXPECT_EQ(FormatHex8(0xFFFFFFFF), "FFFFFFFF");
    EXPECT_EQ(FormatHex8(0xabc), "00000ABC");
    EXPECT_EQ(FormatVersion(0, 0), "0.0.0.0");
    EXPECT_EQ(FormatVersion(0x0001FFFF, 0xFFFF0000), "1.65535.65535.0");
    EXPECT_EQ(FormatVersion(0x000A0014, 0x001E0028), "10.20.30.40");
}

}  // namespace
}  // namespace pakvane
