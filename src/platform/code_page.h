#pragma once
// Conversions between the ANSI code page and Unicode, for files stored as UTF-16LE or
// UTF-8 with a byte order mark. UTF-16 text is held as char16_t code units.
#include <string>
#include <string_view>

namespace pakvane {

struct AnsiText {
    std::string text;
    bool exact = true;  // false when some character had no exact ANSI form
};

class CodePage {
public:
    virtual ~CodePage() = default;

    virtual std::u16string AnsiToWide(std::string_view ansi) const = 0;
    // As the Windows profile functions render text: best-fit characters where the code page
    // has them, '?' otherwise; exact tells whether anything was lost on the way.
    virtual AnsiText WideToAnsi(std::u16string_view wide) const = 0;
    // Invalid sequences become U+FFFD, as MultiByteToWideChar(CP_UTF8) makes them.
    virtual std::u16string Utf8ToWide(std::string_view utf8) const = 0;
    virtual std::string WideToUtf8(std::u16string_view wide) const = 0;
};

}  // namespace pakvane
