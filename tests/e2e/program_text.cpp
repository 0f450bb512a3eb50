#include "program_text.h"

#include <stdexcept>

#include "journey.h"

namespace pakvane::e2e {

namespace {

const InterfaceStrings& BuiltIn()
{
    static const InterfaceStrings strings = [] {
        InterfaceStrings built_in;
        built_in.FillBuiltIn();
        return built_in;
    }();
    return strings;
}

std::wstring Widened(const UiText& text)
{
    return Widen(text.text, text.codePage == kAnsiCodePage ? CP_ACP : text.codePage);
}

}  // namespace

std::wstring S(Str id)
{
    const UiText& text = BuiltIn()[id];
    // An empty entry would make every comparison with a blank box pass.
    if (text.text.empty())
        throw std::runtime_error("interface string " + std::to_string(static_cast<int>(id)) + " is empty");
    return Widened(text);
}

std::wstring Detail(MessageDetail detail, Str id)
{
    return Widened(MessageDetailText(detail, BuiltIn()[id]));
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
