#pragma once
// What the program and a probe host (pakvane-host32.exe, pakvane-host64.exe) say to each
// other. The host's command line names the kind of request and the pipe it answers on; it
// first answers that it is ready (and for which machine), then takes library paths on its
// standard input, each framed with its length (raw ANSI bytes: no quoting can spoil them),
// and answers each with one line. It ends when its input ends. A configuration host takes
// one path. The plugin's own output, if any, goes to the host's standard output, never into
// the answer.
//
// Everything a host says is checked here before it is believed: a host runs a plugin's code,
// and what comes back may be garbage, cut short, or far too long.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/plugin_loader.h"

namespace pakvane {

inline constexpr int kProbeProtocolVersion = 1;
// An answer longer than this is not read further and is not believed.
inline constexpr std::size_t kMaxHostAnswer = 4096;
// A path longer than this is not read by a host; the system's own limit is 32,767.
inline constexpr std::size_t kMaxHostPath = 65536;

// The host's exit codes; anything else (an exception code above all) means it crashed.
inline constexpr std::uint32_t kHostAnswered = 0;
inline constexpr std::uint32_t kHostBadRequest = 2;

enum class HostRequestKind { Probe, Configure };

struct HostRequest {
    HostRequestKind kind = HostRequestKind::Probe;
    std::uint32_t answerHandle = 0;  // the inherited pipe handle the answer is written to
    std::uint32_t parent = 0;  // Configure: the parent window (32 bits in every process)
    bool operator==(const HostRequest&) const = default;
};

// The host's arguments after its program name, and their reading in the host; a request of
// another protocol version, or with anything missing or extra, is nullopt.
std::string FormatHostArguments(const HostRequest& request);
std::optional<HostRequest> ParseHostArguments(const std::vector<std::string>& arguments);

// A path as the host's input carries it: its length in decimal, "\n", its bytes.
std::string FramePath(std::string_view path);

enum class FrameState { Incomplete, Malformed, Complete };
struct PathFrame {
    FrameState state = FrameState::Incomplete;
    std::string path;
    std::size_t used = 0;  // Complete: the bytes of the input the frame took
};
// The first frame of the input read so far.
PathFrame ReadPathFrame(std::string_view input);

// Answers, each one line ending in "\n". Ready names the machine the host's own code is for;
// a configure answer is written before ConfigurePacker is called, so a crash after it is a
// crash of the plugin's configuration and not a failed load.
std::string FormatReadyAnswer(std::uint16_t machine);
std::string FormatProbeAnswer(const PluginProbeResult& result);
std::string FormatConfigureAnswer(const PluginConfigureResult& result);

// nullopt unless the text is exactly one well-formed answer of this version, whose fields
// agree with each other.
std::optional<std::uint16_t> ParseReadyAnswer(std::string_view text);
std::optional<PluginProbeResult> ParseProbeAnswer(std::string_view text);
std::optional<PluginConfigureResult> ParseConfigureAnswer(std::string_view text);

}  // namespace pakvane
