#pragma once
// Windows-1252 without best-fit mapping, and a UTF-8 codec that replaces each invalid
// byte with U+FFFD, for the portable tests.
#include "platform/code_page.h"

namespace pakvane::testing {

class FakeCodePage final : public CodePage {
public:
    std::u16string AnsiToWide(std::string_view ansi) const override;
    AnsiText WideToAnsi(std::u16string_view wide) const override;
    std::u16string Utf8ToWide(std::string_view utf8) const override;
    std::string WideToUtf8(std::u16string_view wide) const override;
};

}  // namespace pakvane::testing
