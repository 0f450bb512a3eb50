#include "platform/text_rules.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace pakvane {

namespace {

// The A functions pass their lengths on as int, so long texts go in pieces. Only texts
// over a gigabyte are split; a double-byte character cut at that seam is not a concern.
constexpr std::size_t kPiece = std::size_t{1} << 30;

const char* NonNull(std::string_view text)
{
    return text.data() ? text.data() : "";
}

template <class Text>
int OrdinalCompare(const Text& a, const Text& b)
{
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int ByteCompare(std::string_view a, std::string_view b)
{
    return OrdinalCompare(a, b);
}

int FromCompareResult(int result)
{
    switch (result) {
    case CSTR_LESS_THAN: return -1;
    case CSTR_EQUAL: return 0;
    case CSTR_GREATER_THAN: return 1;
    default: return 2;  // the call failed
    }
}

// CompareStringA reads its bytes in the code page of the locale it is given (the user's
// locale's ANSI code page; 0 for a Unicode-only locale, which means CP_ACP).
UINT CollationCodePage()
{
    DWORD codePage = CP_ACP;
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof(codePage) / sizeof(WCHAR)))
        codePage = CP_ACP;
    return codePage;
}

// A text the code page could not convert keeps its bytes as units, so that it still sorts
// consistently.
std::u16string ToUnits(std::string_view text)
{
    std::u16string units(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) units[i] = static_cast<unsigned char>(text[i]);
    return units;
}

const wchar_t* Wide(const std::u16string& units)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");
    return units.empty() ? L"" : reinterpret_cast<const wchar_t*>(units.data());
}

class SystemTextRules final : public TextRules {
public:
    std::string UpperAnsi(std::string_view text) const override
    {
        std::string out(text);
        for (std::size_t at = 0; at < out.size(); at += kPiece) {
            const std::size_t length = std::min(kPiece, out.size() - at);
            CharUpperBuffA(&out[at], static_cast<DWORD>(length));
        }
        return out;
    }

    std::string LowerAnsi(std::string_view text) const override
    {
        std::string out(text);
        for (std::size_t at = 0; at < out.size(); at += kPiece) {
            const std::size_t length = std::min(kPiece, out.size() - at);
            CharLowerBuffA(&out[at], static_cast<DWORD>(length));
        }
        return out;
    }

    int Compare(std::string_view a, std::string_view b) const override
    {
        if (a.size() > INT_MAX || b.size() > INT_MAX) return ByteCompare(a, b);
        const int order = FromCompareResult(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                                           NonNull(a), static_cast<int>(a.size()),
                                                           NonNull(b), static_cast<int>(b.size())));
        return order != 2 ? order : ByteCompare(a, b);  // on failure still a consistent order
    }

    // What CompareStringA does on every call, done once: the bytes to UTF-16, then
    // CompareStringW with the same locale and flags. No sort keys (LCMapString): their
    // order can differ from CompareString's.
    CollationText PrepareCollation(std::string_view text) const override
    {
        if (text.empty() || text.size() > INT_MAX) return CollationText(ToUnits(text));
        const UINT codePage = CollationCodePage();
        const int bytes = static_cast<int>(text.size());
        const int length = MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
        if (length <= 0) return CollationText(ToUnits(text));
        std::u16string units(static_cast<std::size_t>(length), u'\0');
        MultiByteToWideChar(codePage, 0, text.data(), bytes, reinterpret_cast<LPWSTR>(units.data()), length);
        return CollationText(std::move(units));
    }

    int ComparePrepared(const CollationText& a, const CollationText& b) const override
    {
        const std::u16string& x = a.Units();
        const std::u16string& y = b.Units();
        if (x.size() > INT_MAX || y.size() > INT_MAX) return OrdinalCompare(x, y);
        const int order = FromCompareResult(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                                           Wide(x), static_cast<int>(x.size()),
                                                           Wide(y), static_cast<int>(y.size())));
        return order != 2 ? order : OrdinalCompare(x, y);
    }

    std::string ConvertOemToAnsi(std::string_view text) const override
    {
        std::string out(text.size(), '\0');
        for (std::size_t at = 0; at < out.size(); at += kPiece) {
            const std::size_t length = std::min(kPiece, out.size() - at);
            OemToCharBuffA(text.data() + at, &out[at], static_cast<DWORD>(length));
        }
        return out;
    }
};

}  // namespace

std::unique_ptr<TextRules> MakeSystemTextRules()
{
    return std::make_unique<SystemTextRules>();
}

}  // namespace pakvane
