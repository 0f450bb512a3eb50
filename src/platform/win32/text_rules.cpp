#include "platform/text_rules.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

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
    case CSTR_LESS_THAN:
        return -1;
    case CSTR_EQUAL:
        return 0;
    case CSTR_GREATER_THAN:
        return 1;
    default:
        return 2;  // the call failed
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

// The text's UTF-16 form appended to units. A text the code page could not convert keeps
// its bytes as units, so that it still sorts consistently.
void AppendUnits(UINT codePage, std::string_view text, std::u16string& units)
{
    if (AppendWideUnits(codePage, text, units)) return;
    for (const char c : text) units += static_cast<char16_t>(static_cast<unsigned char>(c));
}

const wchar_t* Wide(std::u16string_view units)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");
    return units.empty() ? L"" : reinterpret_cast<const wchar_t*>(units.data());
}

int CompareUnits(DWORD flags, const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    return FromCompareResult(CompareStringW(LOCALE_USER_DEFAULT, flags, a, aLength, b, bLength));
}

// Sort-key bytes without a system call per text (LCMapString costs about as much as a few
// comparisons, and the key is needed for every row). Every character one byte of the code
// page turns into is ranked once by CompareStringW, alone; a text's key lists the ranks
// level by level as the collation compares: first the characters that count at the first
// level (ignoring case, accents, kana type and width), then those same characters ignoring
// case only, then the characters the first level skips (hyphen, apostrophe) with their
// positions. Contractions, expansions and characters not ranked are not modelled, so the
// order is close to the collation's, not always equal to it.
class CharacterRanks {
public:
    explicit CharacterRanks(UINT codePage) : primary_(kUnits, kUnranked), secondary_(kUnits, kLastSecondary)
    {
        std::vector<wchar_t> units;
        for (int byte = 1; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const std::u16string converted = WideUnits(codePage, std::string_view(&c, 1));
            if (converted.size() != 1) continue;
            const wchar_t unit = static_cast<wchar_t>(converted[0]);
            if (std::find(units.begin(), units.end(), unit) == units.end()) units.push_back(unit);
        }
        std::vector<wchar_t> counted;
        for (const wchar_t unit : units) {
            if (SkippedAtFirstLevel(unit))
                primary_[unit] = kSkipped;
            else
                counted.push_back(unit);
        }
        const std::vector<std::uint16_t> first = Ranks(counted, kFirstLevel);
        const std::vector<std::uint16_t> second = Ranks(units, NORM_IGNORECASE);
        for (std::size_t i = 0; i < counted.size(); ++i)
            primary_[counted[i]] = static_cast<std::uint8_t>(std::min<int>(kFirstRank + first[i], kLastRank));
        for (std::size_t i = 0; i < units.size(); ++i)
            secondary_[units[i]] = static_cast<std::uint8_t>(std::min<int>(1 + second[i], kLastSecondary));
    }

    void AppendKey(std::u16string_view units, std::string& key) const
    {
        std::size_t skipped = 0, unranked = 0;
        for (const char16_t unit : units) {
            skipped += primary_[unit] == kSkipped;
            unranked += primary_[unit] == kUnranked;
        }
        const std::size_t counted = units.size() - skipped;
        const std::size_t start = key.size();
        key.resize(start + counted * 2 + unranked * 2 + 2 + skipped * 3);
        char* out = key.data() + start;
        for (const char16_t unit : units) {
            const std::uint8_t rank = primary_[unit];
            if (rank == kSkipped) continue;
            if (rank != kUnranked) {
                *out++ = static_cast<char>(rank);
            } else {  // after every ranked character, in code order
                *out++ = static_cast<char>(kUnrankedMark);
                *out++ = static_cast<char>(unit >> 8);
                *out++ = static_cast<char>(unit & 0xFF);
            }
        }
        *out++ = '\0';
        for (const char16_t unit : units)
            if (primary_[unit] != kSkipped) *out++ = static_cast<char>(secondary_[unit]);
        *out++ = '\0';
        // A skipped character makes a text sort after the same text without it, and the
        // later it stands the less it weighs.
        for (std::size_t i = 0; i < units.size() && skipped > 0; ++i) {
            if (primary_[units[i]] != kSkipped) continue;
            const unsigned weight = 0xFFFF - static_cast<unsigned>(std::min<std::size_t>(i, 0xFFFF));
            *out++ = static_cast<char>(weight >> 8);
            *out++ = static_cast<char>(weight & 0xFF);
            *out++ = static_cast<char>(secondary_[units[i]]);
        }
    }

private:
    static constexpr std::size_t kUnits = 0x10000;
    static constexpr std::uint8_t kUnranked = 0;
    static constexpr std::uint8_t kSkipped = 1;
    static constexpr int kFirstRank = 2;
    static constexpr int kLastRank = 0xFE;
    static constexpr std::uint8_t kUnrankedMark = 0xFF;
    static constexpr int kLastSecondary = 0xFF;
    static constexpr DWORD kFirstLevel = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH;

    // A character the first level skips leaves the order of what surrounds it alone, which
    // no counted character does for both pairs of neighbours.
    static bool SkippedAtFirstLevel(wchar_t unit)
    {
        const auto order = [unit](wchar_t second, wchar_t other) {
            const wchar_t text[2] = {unit, second};
            return CompareUnits(kFirstLevel, text, 2, &other, 1);
        };
        return order(L'b', L'a') > 0 && order(L'a', L'b') < 0 && order(L'z', L'y') > 0 && order(L'y', L'z') < 0;
    }

    // Each unit's rank among the others, equal units sharing one. A binary insertion sort:
    // few comparisons, and safe even should the comparison not be a consistent order.
    static std::vector<std::uint16_t> Ranks(const std::vector<wchar_t>& units, DWORD flags)
    {
        const auto compare = [flags](wchar_t a, wchar_t b) { return CompareUnits(flags, &a, 1, &b, 1); };
        std::vector<std::size_t> sorted;
        for (std::size_t i = 0; i < units.size(); ++i) {
            std::size_t low = 0, high = sorted.size();
            while (low < high) {
                const std::size_t mid = (low + high) / 2;
                if (compare(units[i], units[sorted[mid]]) < 0)
                    high = mid;
                else
                    low = mid + 1;
            }
            sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(low), i);
        }
        std::vector<std::uint16_t> ranks(units.size(), 0);
        std::uint16_t rank = 0;
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            if (j > 0 && compare(units[sorted[j - 1]], units[sorted[j]]) != 0) ++rank;
            ranks[sorted[j]] = rank;
        }
        return ranks;
    }

    std::vector<std::uint8_t> primary_;
    std::vector<std::uint8_t> secondary_;
};

class SystemTextRules final : public TextRules {
public:
    SystemTextRules() : ranks_(CollationCodePage())
    {
        // In a single-byte code page every byte maps on its own, so the case mappings are
        // looked up in tables (the call per text costs more than the sort of its result).
        CPINFO info{};
        singleByte_ = GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
        if (!singleByte_) return;
        for (int byte = 0; byte < 256; ++byte) {
            upper_[byte] = lower_[byte] = static_cast<char>(byte);
            CharUpperBuffA(&upper_[byte], 1);
            CharLowerBuffA(&lower_[byte], 1);
        }
    }

    std::string UpperAnsi(std::string_view text) const override { return MapCase(text, upper_, CharUpperBuffA); }
    std::string LowerAnsi(std::string_view text) const override { return MapCase(text, lower_, CharLowerBuffA); }

    int Compare(std::string_view a, std::string_view b) const override
    {
        if (a.size() > INT_MAX || b.size() > INT_MAX) return ByteCompare(a, b);
        const int order =
            FromCompareResult(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, NonNull(a),
                                             static_cast<int>(a.size()), NonNull(b), static_cast<int>(b.size())));
        return order != 2 ? order : ByteCompare(a, b);  // on failure still a consistent order
    }

    // What CompareStringA does on every call, done once: the bytes to UTF-16, then
    // CompareStringW with the same locale and flags.
    CollationText PrepareCollation(std::string_view text) const override
    {
        std::u16string units;
        AppendUnits(CollationCodePage(), text, units);
        return CollationText(std::move(units));
    }

    void PrepareCollations(const std::vector<std::string_view>& texts, std::u16string& units,
                           std::vector<std::size_t>& ends) const override
    {
        const UINT codePage = CollationCodePage();
        std::size_t bytes = 0;
        for (const std::string_view text : texts) bytes += text.size();
        units.clear();
        units.reserve(bytes);  // a byte never gives more than one unit
        ends.clear();
        ends.reserve(texts.size());
        for (const std::string_view text : texts) {
            AppendUnits(codePage, text, units);
            ends.push_back(units.size());
        }
    }

    int ComparePrepared(const CollationText& a, const CollationText& b) const override
    {
        const std::u16string_view x = a.Units();
        const std::u16string_view y = b.Units();
        if (x.size() > INT_MAX || y.size() > INT_MAX) return OrdinalCompare(x, y);
        const int order =
            FromCompareResult(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, Wide(x), static_cast<int>(x.size()),
                                             Wide(y), static_cast<int>(y.size())));
        return order != 2 ? order : OrdinalCompare(x, y);
    }

    void AppendSortKey(const CollationText& text, std::string& key) const override
    {
        ranks_.AppendKey(text.Units(), key);
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

private:
    using ByteTable = std::array<char, 256>;

    // A single-byte code page maps byte by byte through the table made from the system's
    // own answers; a double-byte one needs the system for every text.
    std::string MapCase(std::string_view text, const ByteTable& table, DWORD(WINAPI* mapBuffer)(LPSTR, DWORD)) const
    {
        std::string out(text);
        if (singleByte_) {
            for (char& c : out) c = table[static_cast<unsigned char>(c)];
            return out;
        }
        for (std::size_t at = 0; at < out.size(); at += kPiece) {
            const std::size_t length = std::min(kPiece, out.size() - at);
            mapBuffer(&out[at], static_cast<DWORD>(length));
        }
        return out;
    }

    // Built with the code page and locale of the moment; should the user change them while
    // the program runs, only the speed of a sort suffers (its key bytes merely pre-order).
    CharacterRanks ranks_;
    bool singleByte_ = false;
    ByteTable upper_{};
    ByteTable lower_{};
};

}  // namespace

std::unique_ptr<TextRules> MakeSystemTextRules()
{
    return std::make_unique<SystemTextRules>();
}

}  // namespace pakvane
