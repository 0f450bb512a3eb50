#include "plugins/probe_protocol.h"

#include <algorithm>
#include <charconv>

namespace pakvane {

namespace {

constexpr std::string_view kAnswerTag = "PAKVANE-HOST";

std::string Bit(bool value)
{
    return value ? "1" : "0";
}

std::string AnswerHead(std::string_view kind)
{
    return std::string(kAnswerTag) + " " + std::to_string(kProbeProtocolVersion) + " " + std::string(kind);
}

// A whole decimal number of type T and nothing else: no sign unless T is signed, no blanks,
// no leading "+", no overflow.
template <class T>
std::optional<T> Number(std::string_view text)
{
    if (text.empty() || text.front() == '+') return std::nullopt;
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<bool> Flag(std::string_view text)
{
    if (text == "0") return false;
    if (text == "1") return true;
    return std::nullopt;
}

std::vector<std::string_view> SplitBySpaces(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == ' ') {
            words.push_back(text.substr(start, at - start));
            start = at + 1;
        }
    }
    return words;
}

// The values of an answer of the given kind, which must carry exactly these keys in this
// order; nullopt for anything else, a missing final "\n" or any byte after it included.
std::optional<std::vector<std::string_view>> AnswerValues(std::string_view text, std::string_view kind,
                                                          std::initializer_list<std::string_view> keys)
{
    if (text.size() > kMaxHostAnswer || text.empty() || text.back() != '\n') return std::nullopt;
    text.remove_suffix(1);
    if (text.find('\n') != std::string_view::npos) return std::nullopt;
    const std::vector<std::string_view> words = SplitBySpaces(text);
    if (words.size() != 3 + keys.size()) return std::nullopt;
    if (words[0] != kAnswerTag || Number<int>(words[1]) != kProbeProtocolVersion || words[2] != kind) {
        return std::nullopt;
    }
    std::vector<std::string_view> values;
    std::size_t index = 3;
    for (const std::string_view key : keys) {
        const std::string_view word = words[index++];
        if (word.size() <= key.size() || word.substr(0, key.size()) != key || word[key.size()] != '=') {
            return std::nullopt;
        }
        values.push_back(word.substr(key.size() + 1));
    }
    return values;
}

}  // namespace

std::string FormatHostArguments(const HostRequest& request)
{
    std::string arguments =
        "--protocol " + std::to_string(kProbeProtocolVersion) + " --answer " + std::to_string(request.answerHandle);
    switch (request.kind) {
    case HostRequestKind::Probe:
        return arguments + " --probe";
    case HostRequestKind::Configure:
        return arguments + " --configure " + std::to_string(request.parent);
    }
    return arguments;
}

std::optional<HostRequest> ParseHostArguments(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 5 || arguments[0] != "--protocol" || arguments[2] != "--answer") return std::nullopt;
    if (Number<int>(arguments[1]) != kProbeProtocolVersion) return std::nullopt;
    HostRequest request;
    const std::optional<std::uint32_t> handle = Number<std::uint32_t>(arguments[3]);
    if (!handle || *handle == 0) return std::nullopt;
    request.answerHandle = *handle;
    const std::string& kind = arguments[4];
    if (kind == "--configure" && arguments.size() == 6) {
        const std::optional<std::uint32_t> parent = Number<std::uint32_t>(arguments[5]);
        if (!parent) return std::nullopt;
        request.kind = HostRequestKind::Configure;
        request.parent = *parent;
        return request;
    }
    if (arguments.size() != 5) return std::nullopt;
    if (kind != "--probe") return std::nullopt;
    request.kind = HostRequestKind::Probe;
    return request;
}

std::string FramePath(std::string_view path)
{
    return std::to_string(path.size()) + "\n" + std::string(path);
}

PathFrame ReadPathFrame(std::string_view input)
{
    constexpr std::size_t kMaxDigits = 5;  // as many as kMaxHostPath has
    PathFrame frame;
    const std::size_t end = input.find('\n');
    const std::string_view digits = input.substr(0, std::min(end, input.size()));
    const bool onlyDigits = digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!onlyDigits || digits.size() > kMaxDigits || (end != std::string_view::npos && digits.empty())) {
        frame.state = FrameState::Malformed;
        return frame;
    }
    if (end == std::string_view::npos) return frame;
    const std::optional<std::size_t> length = Number<std::size_t>(digits);
    if (!length || *length == 0 || digits[0] == '0' || *length > kMaxHostPath) {
        frame.state = FrameState::Malformed;
        return frame;
    }
    if (input.size() - end - 1 < *length) return frame;
    frame.state = FrameState::Complete;
    frame.path = std::string(input.substr(end + 1, *length));
    frame.used = end + 1 + *length;
    return frame;
}

std::string FormatReadyAnswer(std::uint16_t machine)
{
    return AnswerHead("ready") + " machine=" + std::to_string(machine) + "\n";
}

std::string FormatProbeAnswer(const PluginProbeResult& result)
{
    return AnswerHead("probe") + " loaded=" + Bit(result.loaded) + " error=" + std::to_string(result.loadError) +
           " exports=" + Bit(result.exportsComplete) + " missing=" + result.missingExport +
           " caps=" + Bit(result.hasPackerCaps) + " flags=" + std::to_string(result.flags) + "\n";
}

std::string FormatConfigureAnswer(const PluginConfigureResult& result)
{
    return AnswerHead("configure") + " loaded=" + Bit(result.loaded) + " error=" + std::to_string(result.loadError) +
           " configure=" + Bit(result.hasConfigurePacker) + "\n";
}

std::optional<std::uint16_t> ParseReadyAnswer(std::string_view text)
{
    const auto values = AnswerValues(text, "ready", {"machine"});
    if (!values) return std::nullopt;
    const std::optional<std::uint16_t> machine = Number<std::uint16_t>((*values)[0]);
    if (!machine || *machine == 0) return std::nullopt;
    return machine;
}

std::optional<PluginProbeResult> ParseProbeAnswer(std::string_view text)
{
    const auto values = AnswerValues(text, "probe", {"loaded", "error", "exports", "missing", "caps", "flags"});
    if (!values) return std::nullopt;
    const auto& v = *values;
    const std::optional<bool> loaded = Flag(v[0]), exports = Flag(v[2]), caps = Flag(v[4]);
    const std::optional<std::uint32_t> error = Number<std::uint32_t>(v[1]);
    const std::optional<std::int32_t> flags = Number<std::int32_t>(v[5]);
    if (!loaded || !error || !exports || !caps || !flags) return std::nullopt;
    const std::string_view missing = v[3];
    const bool knownName = std::find(kRequiredPackerExports.begin(), kRequiredPackerExports.end(), missing) !=
                           kRequiredPackerExports.end();
    // The fields must tell one story: an error only without a module, a missing export only
    // when the module loaded and the set is incomplete, capabilities only for a complete set.
    const bool consistent = (*loaded ? *error == 0 && *exports == missing.empty() : !*exports && missing.empty()) &&
                            (missing.empty() || knownName) && (!*caps || *exports) && (*caps || *flags == 0);
    if (!consistent) return std::nullopt;
    PluginProbeResult result;
    result.loaded = *loaded;
    result.loadError = *error;
    result.exportsComplete = *exports;
    result.missingExport = std::string(missing);
    result.hasPackerCaps = *caps;
    result.flags = *flags;
    return result;
}

std::optional<PluginConfigureResult> ParseConfigureAnswer(std::string_view text)
{
    const auto values = AnswerValues(text, "configure", {"loaded", "error", "configure"});
    if (!values) return std::nullopt;
    const std::optional<bool> loaded = Flag((*values)[0]), configure = Flag((*values)[2]);
    const std::optional<std::uint32_t> error = Number<std::uint32_t>((*values)[1]);
    if (!loaded || !error || !configure) return std::nullopt;
    if ((*loaded && *error != 0) || (*configure && !*loaded)) return std::nullopt;
    PluginConfigureResult result;
    result.loaded = *loaded;
    result.loadError = *error;
    result.hasConfigurePacker = *configure;
    return result;
}

}  // namespace pakvane
