#pragma once
// Text rules of the user's Windows: case mapping in the ANSI code page, the locale's
// collation and OEM -> ANSI conversion. Texts are 8-bit bytes; every call works on the
// whole text, embedded NUL bytes included, and the mappings keep the byte length.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pakvane {

// A text converted once into the form the collation works on, so that sorting many texts
// does not convert each of them again on every comparison. Its content is private to the
// TextRules that made it; only that object's ComparePrepared reads it. It either owns its
// units or views units kept elsewhere (many texts in one buffer, see PrepareCollations);
// a view is valid only while that buffer is unchanged.
class CollationText {
public:
    CollationText() = default;
    explicit CollationText(std::u16string units) : units_(std::move(units)) {}
    static CollationText View(std::u16string_view units)
    {
        CollationText text;
        text.view_ = units;
        text.viewing_ = true;
        return text;
    }
    std::u16string_view Units() const { return viewing_ ? view_ : std::u16string_view(units_); }

private:
    std::u16string units_;
    std::u16string_view view_;
    bool viewing_ = false;
};

class TextRules {
public:
    virtual ~TextRules() = default;

    virtual std::string UpperAnsi(std::string_view text) const = 0;
    virtual std::string LowerAnsi(std::string_view text) const = 0;
    // The user's collation, ignoring case: negative, 0 or positive as a sorts before,
    // equal to or after b.
    virtual int Compare(std::string_view a, std::string_view b) const = 0;
    // For many comparisons of the same texts: ComparePrepared(PrepareCollation(a),
    // PrepareCollation(b)) orders a and b as Compare(a, b) does.
    virtual CollationText PrepareCollation(std::string_view text) const = 0;
    virtual int ComparePrepared(const CollationText& a, const CollationText& b) const = 0;
    // PrepareCollation of many texts at once, their units one after another in units (which
    // is replaced); ends[i] is where text i's units end. Views of those ranges compare as
    // the texts' own PrepareCollation results do. One buffer instead of an allocation per
    // text: a long list's sort would otherwise spend much of its time in the heap.
    virtual void PrepareCollations(const std::vector<std::string_view>& texts, std::u16string& units,
                                   std::vector<std::size_t>& ends) const
    {
        units.clear();
        ends.clear();
        ends.reserve(texts.size());
        for (const std::string_view text : texts) {
            units.append(PrepareCollation(text).Units());
            ends.push_back(units.size());
        }
    }
    // Appends bytes whose plain byte order (memcmp) follows the collation for nearly all
    // texts, to put many texts into almost the right order cheaply. That order may
    // disagree with ComparePrepared on some texts, so it must still be checked with it.
    virtual void AppendSortKey(const CollationText& text, std::string& key) const = 0;
    virtual std::string ConvertOemToAnsi(std::string_view text) const = 0;
};

#ifdef _WIN32
// The rules of the running Windows (CharUpperBuffA, CompareStringA, OemToCharBuffA).
// Prepared texts hold the UTF-16 form that CompareStringA converts to on every call and
// are compared with CompareStringW; their sort-key bytes come from a table of the
// collation's ranks of single characters, made with the rules.
std::unique_ptr<TextRules> MakeSystemTextRules();
#endif

}  // namespace pakvane
