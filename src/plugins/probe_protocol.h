#pragma once
// What the program and a probe host (pakvane-host32.exe, pakvane-host64.exe) say to each
// other. The program starts a host for one request, given on its command line; the library's
// path follows on the host's standard input as raw ANSI bytes (no quoting can spoil it), and
// the host answers one line on a pipe whose handle the command line names. The plugin's own
// output, if any, goes to the host's standard output, never into the answer.
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

enum class HostRequestKind { Ready, Probe, Configure };

struct HostRequest {
    HostRequestKind kind = HostRequestKind::Ready;
    std::uint32_t answerHandle = 0;  // the inherited pipe handle the answer is written to
    std::uint32_t parent = 0;  // Configure: the parent window (32 bits in every process)
    bool operator==(const HostRequest&) const = default;
};

// The host's arguments after its program name, and their reading in the host; a request of
// another protocol version, or with anything missing or extra, is nullopt.
std::string FormatHostArguments(const HostRequest& request);
std::optional<HostRequest> ParseHostArguments(const std::vector<std::string>& arguments);

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
