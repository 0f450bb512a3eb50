#include "fakes/fake_code_page.h"

namespace pakvane::testing {

namespace {

// 0x80..0x9F of Windows-1252; the five undefined bytes map to the C1 controls as Windows does.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ToWide(unsigned char c)
{
    return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c;
}

bool ToAnsi(char32_t c, char& out)
{
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
        out = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
    }
}

}  // namespace

std::u16string FakeCodePage::AnsiToWide(std::string_view ansi) const
{
    std::u16string wide;
    wide.reserve(ansi.size());
    for (char c : ansi) wide.push_back(ToWide(static_cast<unsigned char>(c)));
    return wide;
}

AnsiText FakeCodePage::WideToAnsi(std::u16string_view wide) const
{
    AnsiText result;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char c;
        const bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                          wide[i + 1] < 0xE000;
        if (pair) ++i;
        if (!pair && ToAnsi(wide[i], c)) {
            result.text.push_back(c);
        } else {
            result.text.push_back('?');
            result.exact = false;
        }
    }
    return result;
}

std::u16string FakeCodePage::Utf8ToWide(std::string_view utf8) const
{
    std::u16string wide;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
        const unsigned char lead = byte(i);
        const int extra = lead < 0x80                     ? 0
                          : (lead >= 0xC2 && lead < 0xE0) ? 1
                          : (lead >= 0xE0 && lead < 0xF0) ? 2
                          : (lead >= 0xF0 && lead < 0xF5) ? 3
                                                          : -1;
        char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                valid = false;
            else
                c = (c << 6) | (byte(i + k) & 0x3F);
        }
        if (valid && ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) ||
                      (extra == 3 && (c < 0x10000 || c > 0x10FFFF))))
            valid = false;
        if (!valid) {
            wide.push_back(0xFFFD);
            ++i;
            continue;
        }
        AppendUtf16(wide, c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return wide;
}

std::string FakeCodePage::WideToUtf8(std::u16string_view wide) const
{
    std::string utf8;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(utf8, c);
    }
    return utf8;
}

}  // namespace pakvane::testing
