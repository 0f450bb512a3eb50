// What the program and a probe host say to each other: every answer a host can give is
// read back as it was meant, and anything else a host might send is refused.
#include <gtest/gtest.h>

#include "plugins/probe_protocol.h"

namespace pakvane {
namespace {

PluginProbeResult Probed(bool loaded, std::uint32_t error, bool complete, std::string missing, bool caps,
                         std::int32_t flags)
{
    PluginProbeResult result;
    result.loaded = loaded;
    result.loadError = error;
    result.exportsComplete = complete;
    result.missingExport = std::move(missing);
    result.hasPackerCaps = caps;
    result.flags = flags;
    return result;
}

TEST(ProbeProtocolTest, EveryAnswerAHostGivesReadsBackAsItWasMeant)
{
    for (const PluginProbeResult& result :
         {Probed(true, 0, true, "", true, 516), Probed(true, 0, true, "", true, -2147483647 - 1),
          Probed(true, 0, true, "", false, 0), Probed(true, 0, false, "SetProcessDataProc", false, 0),
          Probed(false, 193, false, "", false, 0), Probed(false, 4294967295u, false, "", false, 0)}) {
        EXPECT_EQ(ParseProbeAnswer(FormatProbeAnswer(result)), result) << FormatProbeAnswer(result);
    }
    for (const auto& [loaded, error, configure] :
         {std::tuple{true, 0u, true}, {true, 0u, false}, {false, 126u, false}}) {
        const PluginConfigureResult result{loaded, error, configure};
        EXPECT_EQ(ParseConfigureAnswer(FormatConfigureAnswer(result)), result) << FormatConfigureAnswer(result);
    }
    EXPECT_EQ(ParseReadyAnswer(FormatReadyAnswer(0x8664)), 0x8664);
    // Each kind of answer is only ever taken for itself.
    EXPECT_EQ(ParseProbeAnswer(FormatConfigureAnswer({true, 0, true})), std::nullopt);
    EXPECT_EQ(ParseConfigureAnswer(FormatReadyAnswer(0x14C)), std::nullopt);
}

TEST(ProbeProtocolTest, RefusesWhatNoHonestHostSays)
{
    const std::string good = "PAKVANE-HOST 1 probe loaded=1 error=0 exports=1 missing= caps=1 flags=516\n";
    ASSERT_TRUE(ParseProbeAnswer(good));
    const std::string head = "PAKVANE-HOST 1 probe ";
    const std::vector<std::pair<const char*, std::string>> lies = {
        {"nothing", ""},
        {"garbage", "\x89PNG\r\n\x1a\n"},
        {"no end of line", good.substr(0, good.size() - 1)},
        {"cut short", good.substr(0, 40) + "\n"},
        {"CR LF", good.substr(0, good.size() - 1) + "\r\n"},
        {"a second line", good + good},
        {"bytes after the line", good + "x"},
        {"a NUL inside", good.substr(0, good.size() - 3) + std::string(1, '\0') + "6\n"},
        {"too long",
         head + "loaded=1 error=0 exports=1 missing=" + std::string(kMaxHostAnswer, 'A') + " caps=0 flags=0\n"},
        {"another version", "PAKVANE-HOST 2 probe loaded=1 error=0 exports=1 missing= caps=1 flags=516\n"},
        {"another tag", "PAKVANE-HOSTS 1 probe loaded=1 error=0 exports=1 missing= caps=1 flags=516\n"},
        {"an extra field", head + "loaded=1 error=0 exports=1 missing= caps=1 flags=516 more=1\n"},
        {"a field missing", head + "loaded=1 error=0 exports=1 missing= caps=1\n"},
        {"fields swapped", head + "error=0 loaded=1 exports=1 missing= caps=1 flags=516\n"},
        {"two blanks", head + "loaded=1  error=0 exports=1 missing= caps=1 flags=516\n"},
        {"a flag of 2", head + "loaded=2 error=0 exports=1 missing= caps=1 flags=516\n"},
        {"a signed error", head + "loaded=0 error=-5 exports=0 missing= caps=0 flags=0\n"},
        {"flags with a plus", head + "loaded=1 error=0 exports=1 missing= caps=1 flags=+516\n"},
        {"flags overflow", head + "loaded=1 error=0 exports=1 missing= caps=1 flags=2147483648\n"},
        {"flags in hex", head + "loaded=1 error=0 exports=1 missing= caps=1 flags=0x204\n"},
        {"an unknown missing name", head + "loaded=1 error=0 exports=0 missing=DeleteFiles caps=0 flags=0\n"},
        {"complete yet missing", head + "loaded=1 error=0 exports=1 missing=ReadHeader caps=0 flags=0\n"},
        {"incomplete, nothing missing", head + "loaded=1 error=0 exports=0 missing= caps=0 flags=0\n"},
        {"loaded with an error", head + "loaded=1 error=5 exports=1 missing= caps=0 flags=0\n"},
        {"exports without a module", head + "loaded=0 error=5 exports=1 missing= caps=0 flags=0\n"},
        {"caps of an incomplete set", head + "loaded=1 error=0 exports=0 missing=OpenArchive caps=1 flags=1\n"},
        {"flags without caps", head + "loaded=1 error=0 exports=1 missing= caps=0 flags=7\n"},
    };
    for (const auto& [what, text] : lies) EXPECT_EQ(ParseProbeAnswer(text), std::nullopt) << what;

    for (const char* text :
         {"PAKVANE-HOST 1 configure loaded=0 error=2 configure=1\n", "PAKVANE-HOST 1 configure loaded=1 error=0\n",
          "PAKVANE-HOST 1 configure loaded=1 error=0 configure=1 x\n", "PAKVANE-HOST 1 ready machine=0\n",
          "PAKVANE-HOST 1 ready machine=70000\n"}) {
        EXPECT_EQ(ParseConfigureAnswer(text), std::nullopt) << text;
        EXPECT_EQ(ParseReadyAnswer(text), std::nullopt) << text;
    }
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

TEST(ProbeProtocolTest, HostReadsOnlyTheRequestsTheProgramMakes)
{
    for (const HostRequest& request :
         {HostRequest{HostRequestKind::Probe, 4294967295u, 0}, HostRequest{HostRequestKind::Configure, 8, 0x80010}}) {
        EXPECT_EQ(ParseHostArguments(Words(FormatHostArguments(request))), request) << FormatHostArguments(request);
    }
    const std::vector<std::vector<std::string>> refused = {
        {},
        {"--probe"},
        {"--protocol", "2", "--answer", "12", "--probe"},
        {"--protocol", "1", "--answer", "0", "--probe"},
        {"--protocol", "1", "--answer", "x", "--probe"},
        {"--protocol", "1", "--answer", "12", "--probe", "extra"},
        {"--protocol", "1", "--answer", "12", "--configure"},
        {"--protocol", "1", "--answer", "12", "--configure", "-1"},
        {"--protocol", "1", "--answer", "12", "--unpack"},
        {"--protocol", "1", "--answer", "12", "--ready"},
        {"--answer", "12", "--protocol", "1", "--probe"},
    };
    for (const auto& arguments : refused) EXPECT_EQ(ParseHostArguments(arguments), std::nullopt) << arguments.size();
}

// Paths follow one another on the host's input; each is taken whole, byte for byte, and a
// header that cannot be a length stops the host rather than being guessed at.
TEST(ProbeProtocolTest, HostTakesEachFramedPathWhole)
{
    const std::string first = "C:\\My \"plugins\"\\\xC0\xE9.wcx", second(kMaxHostPath, 'x');
    const std::string input = FramePath(first) + FramePath(second);
    PathFrame frame = ReadPathFrame(input);
    ASSERT_EQ(frame.state, FrameState::Complete);
    EXPECT_EQ(frame.path, first);
    frame = ReadPathFrame(std::string_view(input).substr(frame.used));
    ASSERT_EQ(frame.state, FrameState::Complete);
    EXPECT_EQ(frame.path, second);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, FramePath(first).size() - 1}) {
        EXPECT_EQ(ReadPathFrame(input.substr(0, cut)).state, FrameState::Incomplete) << cut;
    }
    for (const char* bad : {"\n", "0\n", "012\nabc", "-3\nabc", "x\n", "65537\n", "123456", " 3\nabc"}) {
        EXPECT_EQ(ReadPathFrame(bad).state, FrameState::Malformed) << bad;
    }
}

}  // namespace
}  // namespace pakvane
