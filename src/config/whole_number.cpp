#include "config/whole_number.h"

namespace pakvane {

namespace {

int DigitValue(char c, unsigned base)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text, NumberSyntax syntax)
{
    bool negative = false;
    bool hasSign = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        hasSign = true;
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (syntax == NumberSyntax::Flags && !text.empty() &&
               (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        base = 16;
        text.remove_prefix(1);
    }
    const bool rawBits = syntax == NumberSyntax::Settings && base == 16;
    if (text.empty() || (rawBits && hasSign)) return std::nullopt;

    // The magnitude may reach 2^31 only for a negative value (INT32_MIN).
    const std::uint32_t limit = rawBits ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    std::uint32_t value = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) return std::nullopt;
        if (value > (limit - static_cast<std::uint32_t>(digit)) / base) return std::nullopt;
        value = value * base + static_cast<std::uint32_t>(digit);
    }
    // Negate in unsigned arithmetic so that 2^31 maps to INT32_MIN without overflow.
    return static_cast<std::int32_t>(negative ? ~value + 1u : value);
}

}  // namespace pakvane
