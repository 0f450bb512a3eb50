#include "fakes/fake_text_rules.h"

#include <utility>

namespace pakvane {

namespace {

unsigned char Upper1251(unsigned char c)
{
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0) return static_cast<unsigned char>(c - 32);  // а..я -> А..Я
    if (c == 0xB8) return 0xA8;  // ё -> Ё
    return c;
}

unsigned char Lower1251(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
    if (c == 0xA8) return 0xB8;
    return c;
}

unsigned char Oem866To1251(unsigned char c)
{
    if (c >= 0x80 && c <= 0xAF) return static_cast<unsigned char>(c + 0x40);  // А..п
    if (c >= 0xE0 && c <= 0xEF) return static_cast<unsigned char>(c + 0x10);  // р..я
    if (c == 0xF0) return 0xA8;
    if (c == 0xF1) return 0xB8;
    return c;
}

template <class Map>
std::string MapBytes(std::string_view text, Map map)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string FakeTextRules::UpperAnsi(std::string_view text) const
{
    return MapBytes(text, Upper1251);
}

std::string FakeTextRules::LowerAnsi(std::string_view text) const
{
    return MapBytes(text, Lower1251);
}

int FakeTextRules::Compare(std::string_view a, std::string_view b) const
{
    // No allocation per comparison: map byte by byte.
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = Upper1251(static_cast<unsigned char>(a[i]));
        const unsigned char y = Upper1251(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

CollationText FakeTextRules::PrepareCollation(std::string_view text) const
{
    std::u16string units(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) units[i] = Upper1251(static_cast<unsigned char>(text[i]));
    return CollationText(std::move(units));
}

int FakeTextRules::ComparePrepared(const CollationText& a, const CollationText& b) const
{
    const int order = a.Units().compare(b.Units());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void FakeTextRules::AppendSortKey(const CollationText& text, std::string& key) const
{
    for (const char16_t unit : text.Units()) key.push_back(static_cast<char>(unit));
}

std::string FakeTextRules::ConvertOemToAnsi(std::string_view text) const
{
    return MapBytes(text, Oem866To1251);
}

}  // namespace pakvane
