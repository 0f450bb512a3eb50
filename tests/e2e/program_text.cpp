#include "program_text.h"

#include <stdexcept>

#include "journey.h"

namespace pakvane::e2e {

std::wstring S(Str id)
{
    static const InterfaceStrings strings = [] {
        InterfaceStrings built_in;
        built_in.FillBuiltIn();
        return built_in;
    }();
    const UiText& text = strings[id];
    // An empty entry would make every comparison with a blank box pass.
    if (text.text.empty())
        throw std::runtime_error("interface string " + std::to_string(static_cast<int>(id)) + " is empty");
    return Widen(text.text, text.codePage == kAnsiCodePage ? CP_ACP : text.codePage);
}

std::wstring Formatted(Str id, const std::wstring& argument)
{
    std::wstring text = S(id);
    const size_t at = text.find(L"%s");
    if (at == std::wstring::npos)
        throw std::runtime_error("interface string " + std::to_string(static_cast<int>(id)) + " has no %s");
    return text.replace(at, 2, argument);
}

}  // namespace pakvane::e2e
