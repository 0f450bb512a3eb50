#pragma once
#include "platform/code_page.h"

namespace pakvane {

// The ANSI code page of the running Windows (CP_ACP).
class Win32CodePage final : public CodePage {
public:
    std::u16string AnsiToWide(std::string_view ansi) const override;
    AnsiText WideToAnsi(std::u16string_view wide) const override;
    std::u16string Utf8ToWide(std::string_view utf8) const override;
    std::string WideToUtf8(std::u16string_view wide) const override;
};

}  // namespace pakvane
