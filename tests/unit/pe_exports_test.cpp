// Reading a library's exports from its bytes: crafted images, the test build's real
// libraries, and random damage to them (run natively under the sanitizers).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "fakes/pe_image.h"
#include "plugins/pe_exports.h"

namespace pakvane {
namespace {

using testing::kPluginExports;
using testing::MakePeImage;
using testing::PutLe;

TEST(PeExportsTest, WantsTheSixExactNamesForTheMachine)
{
    std::vector<std::string> withoutOne(kPluginExports.begin(), kPluginExports.end());
    withoutOne.erase(withoutOne.begin() + 6);  // SetProcessDataProc
    std::vector<std::string> lowerCased = kPluginExports;
    lowerCased[2] = "openArchive";
    const std::vector<std::string> decorated = {"_CloseArchive@4", "_OpenArchive@4",      "_ProcessFile@16",
                                                "_ReadHeader@8",   "_SetChangeVolProc@8", "_SetProcessDataProc@8"};
    struct Case {
        const char* what;
        std::string image;
        std::uint16_t machine;
        bool plugin;
    };
    const std::vector<Case> cases = {
        {"i386 plugin", MakePeImage(kMachineI386, kPluginExports), kMachineI386, true},
        {"i386 plugin, 64-bit program", MakePeImage(kMachineI386, kPluginExports), kMachineAmd64, false},
        {"amd64 plugin", MakePeImage(kMachineAmd64, kPluginExports, true), kMachineAmd64, true},
        {"amd64 plugin, 32-bit program", MakePeImage(kMachineAmd64, kPluginExports, true), kMachineI386, false},
        {"without SetProcessDataProc", MakePeImage(kMachineI386, withoutOne), kMachineI386, false},
        {"a name in another case", MakePeImage(kMachineI386, lowerCased), kMachineI386, false},
        {"decorated names", MakePeImage(kMachineI386, decorated), kMachineI386, false},
        {"no exports", MakePeImage(kMachineI386, {}), kMachineI386, false},
        {"text", "This is a text file, not a library.\r\n", kMachineI386, false},
    };
    for (const Case& c : cases) EXPECT_EQ(PackerPluginMachine(c.image) == c.machine, c.plugin) << c.what;
}

// The machine alone is read from the headers, whatever the exports; anything without both
// signatures has none.
TEST(PeExportsTest, ReadsTheMachineOfAnyImage)
{
    const std::string arm = MakePeImage(kMachineArm64, kPluginExports, true);
    EXPECT_EQ(ReadPeMachine(arm), kMachineArm64);
    std::string noPe = arm;
    noPe[static_cast<unsigned char>(arm[0x3C])] = 'X';
    for (const std::string& image : {std::string("MZ"), arm.substr(1), noPe, std::string("PE\0\0", 4)}) {
        EXPECT_EQ(ReadPeMachine(image), std::nullopt) << image.size();
    }
}

// Fields that point outside the file or their section are rejected, not followed.
TEST(PeExportsTest, RejectsDirectoriesThatPointOutside)
{
    testing::PeLayout at;
    const std::string good = MakePeImage(kMachineI386, kPluginExports, false, &at);
    ASSERT_TRUE(ReadPeExports(good));
    struct Damage {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    };
    const std::vector<Damage> damages = {
        {"header offset past the end", 0x3C, 0xFFFFFFF0},
        {"section count", 0x46, 0xFFFF},
        {"optional header too small", 0x44 + 16, 8},
        {"optional header magic", at.optionalHeader, 0x1234},
        {"export directory outside the sections", at.optionalHeader + 96, 0x9000},
        {"section raw data past the end", at.sectionHeader + 16, 0x7FFFFFFF},
        {"section raw offset past the end", at.sectionHeader + 20, 0xFFFFFF00},
        {"name count", at.exportDirectory + 24, 0xFFFFFFFF},
        {"name table address", at.exportDirectory + 32, 0xFFFFFFFC},
        {"a name's address", at.nameTable, 0x7FFFFFFF},
    };
    for (const Damage& d : damages) {
        std::string image = good;
        const bool shortField = d.offset == 0x46 || d.offset == 0x44 + 16 || d.offset == at.optionalHeader;
        PutLe(image, d.offset, d.value, shortField ? 2 : 4);
        const std::optional<PeExports> read = ReadPeExports(image);
        if (read) {
            EXPECT_NE(read->names, kPluginExports) << d.what;
        }
        EXPECT_FALSE(PackerPluginMachine(image) == kMachineI386) << d.what;
    }
    // A section that the file does not hold whole is a truncated library.
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(ReadPeExports(std::string_view(good).substr(0, size))) << size;
    }
}

// The real libraries the test build makes with both compilers (PAKVANE_PE_SAMPLES).
std::vector<std::pair<std::string, std::string>> SampleLibraries()
{
    std::vector<std::pair<std::string, std::string>> samples;
    const char* folder = std::getenv("PAKVANE_PE_SAMPLES");
    if (!folder) return samples;
    for (const char* name : {"full32.wcx", "full64.wcx", "decorated32.wcx", "noprocessdata32.wcx"}) {
        std::ifstream file(std::string(folder) + "/" + name, std::ios::binary);
        samples.emplace_back(name, std::string(std::istreambuf_iterator<char>(file), {}));
    }
    return samples;
}

TEST(PeExportsTest, ReadsRealLibraries)
{
    const auto samples = SampleLibraries();
    if (samples.empty()) GTEST_SKIP() << "PAKVANE_PE_SAMPLES is not set";
    const std::vector<std::pair<std::uint16_t, bool>> expected = {
        {kMachineI386, true}, {kMachineAmd64, true}, {kMachineI386, false}, {kMachineI386, false}};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::optional<PeExports> read = ReadPeExports(samples[i].second);
        ASSERT_TRUE(read) << samples[i].first;
        EXPECT_EQ(read->machine, expected[i].first) << samples[i].first;
        EXPECT_EQ(ReadPeMachine(samples[i].second), expected[i].first) << samples[i].first;
        EXPECT_EQ(PackerPluginMachine(samples[i].second) == expected[i].first, expected[i].second) << samples[i].first;
        const std::uint16_t other = expected[i].first == kMachineI386 ? kMachineAmd64 : kMachineI386;
        EXPECT_FALSE(PackerPluginMachine(samples[i].second) == other) << samples[i].first;
    }
}

// Random overwrites (mostly in the headers and the export data) and truncations: the reader
// must never read outside the buffer, which the sanitizers would report.
TEST(PeExportsTest, SurvivesDamagedLibraries)
{
    auto samples = SampleLibraries();
    if (samples.empty()) GTEST_SKIP() << "PAKVANE_PE_SAMPLES is not set";
    std::mt19937 random(20261210);
    int accepted = 0;
    for (const auto& [name, bytes] : samples) {
        ASSERT_GT(bytes.size(), 0x400u) << name;
        for (int round = 0; round < 1000; ++round) {
            std::vector<char> image(bytes.begin(), bytes.end());  // exactly sized, so ASan sees overruns
            const int writes = 1 + static_cast<int>(random() % 8);
            for (int w = 0; w < writes; ++w) {
                const std::size_t limit = random() % 2 ? 0x400 : image.size();
                const std::size_t at = random() % limit;
                image[at] = random() % 3 == 0 ? static_cast<char>(0xFF) : static_cast<char>(random());
            }
            if (random() % 4 == 0) image.resize(random() % image.size());
            const std::optional<PeExports> read = ReadPeExports(std::string_view(image.data(), image.size()));
            if (read) {
                ++accepted;
                for (const std::string& exportName : read->names) EXPECT_LE(exportName.size(), image.size());
            }
        }
    }
    EXPECT_GT(accepted, 0);  // the damage left many images readable, so the deep paths ran
}

}  // namespace
}  // namespace pakvane
