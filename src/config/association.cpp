#include "config/association.h"

#include "platform/text_rules.h"

#include <charconv>

namespace pakvane {

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

int DigitValue(char c, unsigned base)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::int32_t ParseFlags(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return 0;

    // The magnitude may reach 2^31 only for a negative value (INT32_MIN).
    const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint32_t value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) return 0;
        if (value > (limit - static_cast<std::uint32_t>(digit)) / base) return 0;
        value = value * base + static_cast<std::uint32_t>(digit);
    }
    if (!negative) return static_cast<std::int32_t>(value);
    // Negate in unsigned arithmetic so that 2^31 maps to INT32_MIN without overflow.
    return static_cast<std::int32_t>(~value + 1u);
}

Association ParseAssociation(std::string_view text)
{
    Association result;
    std::string_view rest = text;
    if (const std::size_t equals = text.find('='); equals != std::string_view::npos) {
        result.extension = std::string(TrimBlanks(text.substr(0, equals)));
        rest = text.substr(equals + 1);
    }
    if (const std::size_t comma = rest.find(','); comma != std::string_view::npos) {
        result.flags = ParseFlags(TrimBlanks(rest.substr(0, comma)));
        rest = rest.substr(comma + 1);
    }
    result.path = std::string(TrimBlanks(rest));
    return result;
}

std::string FormatAssociation(std::string_view extension, std::int32_t flags, std::string_view path)
{
    char digits[16];
    const auto converted = std::to_chars(digits, digits + sizeof digits, flags);
    std::string text;
    text.reserve(extension.size() + path.size() + 2 + static_cast<std::size_t>(converted.ptr - digits));
    text.append(extension);
    text += '=';
    text.append(digits, converted.ptr);
    text += ',';
    text.append(path);
    return text;
}

std::string CanonicalExtension(std::string_view extension, const TextRules& rules)
{
    return rules.LowerAnsi(TrimBlanks(extension));
}

std::string CanonicalAssociation(std::string_view text, const TextRules& rules)
{
    const Association parsed = ParseAssociation(text);
    return FormatAssociation(rules.LowerAnsi(parsed.extension), parsed.flags, parsed.path);
}

}  // namespace pakvane
