#include "config/association.h"

#include "config/whole_number.h"
#include "platform/text_rules.h"

#include <charconv>

namespace pakvane {

namespace {

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
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
    return ParseWholeNumber(text, NumberSyntax::Flags).value_or(0);
}

AssociationParts SplitAssociation(std::string_view text)
{
    AssociationParts parts;
    std::string_view rest = text;
    if (const std::size_t equals = text.find('='); equals != std::string_view::npos) {
        parts.extension = TrimBlanks(text.substr(0, equals));
        rest = text.substr(equals + 1);
    }
    if (const std::size_t comma = rest.find(','); comma != std::string_view::npos) {
        parts.flags = TrimBlanks(rest.substr(0, comma));
        rest = rest.substr(comma + 1);
    }
    parts.path = TrimBlanks(rest);
    return parts;
}

Association ParseAssociation(std::string_view text)
{
    const AssociationParts parts = SplitAssociation(text);
    return {std::string(parts.extension), ParseFlags(parts.flags), std::string(parts.path)};
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
