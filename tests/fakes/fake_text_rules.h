#pragma once
// Text rules for native tests, modelling a Russian Windows: ANSI code page 1251 and OEM
// code page 866. Case mapping covers ASCII and the 1251 Cyrillic letters (Ё/ё included);
// Compare is a byte comparison of the upper-cased texts, so it ignores case but, unlike
// the real collation, orders punctuation, digits and letters by their byte values; a
// prepared text holds the upper-cased bytes, one unit each, and compares the same way;
// its sort-key bytes are those upper-cased bytes, so they always agree with the comparison.
// ConvertOemToAnsi maps the 866 Cyrillic letters to 1251 and keeps every other byte.
#include "platform/text_rules.h"

namespace pakvane {

class FakeTextRules : public TextRules {
public:
    std::string UpperAnsi(std::string_view text) const override;
    std::string LowerAnsi(std::string_view text) const override;
    int Compare(std::string_view a, std::string_view b) const override;
    CollationText PrepareCollation(std::string_view text) const override;
    int ComparePrepared(const CollationText& a, const CollationText& b) const override;
    void AppendSortKey(const CollationText& text, std::string& key) const override;
    std::string ConvertOemToAnsi(std::string_view text) const override;
};

}  // namespace pakvane
