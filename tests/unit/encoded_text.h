#pragma once
// Building file contents in the encodings the profile engine keeps.
#include <string>
#include <string_view>

namespace pakvane::testing {

// ASCII text as a UTF-16LE file with its byte order mark.
inline std::string Utf16(std::string_view ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) bytes += std::string{c, '\0'};
    return bytes;
}

}  // namespace pakvane::testing
