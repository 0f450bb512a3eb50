#pragma once
// Formats a message pattern with exactly one text argument. Only "%s" (the argument) and
// "%%" (one percent sign) are directives; any other directive, a second "%s" or a
// dangling "%" makes the result the pattern itself. A pattern from a language file is
// therefore never handed to printf.
#include <optional>
#include <string>
#include <string_view>

namespace pakvane {

template <class Char>
std::basic_string<Char> SafeFormat(std::basic_string_view<Char> pattern, std::basic_string_view<Char> argument)
{
    std::basic_string<Char> out;
    out.reserve(pattern.size() + argument.size());
    bool argumentUsed = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != Char('%')) {
            out += pattern[i];
            continue;
        }
        if (i + 1 == pattern.size()) return std::basic_string<Char>(pattern);
        const Char directive = pattern[++i];
        if (directive == Char('%')) {
            out += Char('%');
        } else if (directive == Char('s') && !argumentUsed) {
            out += argument;
            argumentUsed = true;
        } else {
            return std::basic_string<Char>(pattern);
        }
    }
    return out;
}

inline std::string SafeFormat(std::string_view pattern, std::string_view argument)
{
    return SafeFormat<char>(pattern, argument);
}

inline std::wstring SafeFormat(std::wstring_view pattern, std::wstring_view argument)
{
    return SafeFormat<wchar_t>(pattern, argument);
}

}  // namespace pakvane
