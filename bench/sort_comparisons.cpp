#include "sort_comparisons.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/association_list.h"
#include "config/association_sort.h"
#include "config/configuration.h"
#include "config/profile_document.h"
#include "platform/text_rules.h"
#include "platform/win32/code_page.h"
#include "workload.h"

namespace pakvane::bench {
namespace {

// The system rules, counting comparisons and, when asked, spoiling the sort keys.
class CountingRules final : public TextRules {
public:
    using Distortion = std::function<std::string(const std::string& key)>;
    explicit CountingRules(Distortion distort) : distort_(std::move(distort)) {}

    std::string UpperAnsi(std::string_view text) const override { return inner_->UpperAnsi(text); }
    std::string LowerAnsi(std::string_view text) const override { return inner_->LowerAnsi(text); }
    int Compare(std::string_view a, std::string_view b) const override { return inner_->Compare(a, b); }
    CollationText PrepareCollation(std::string_view text) const override { return inner_->PrepareCollation(text); }
    int ComparePrepared(const CollationText& a, const CollationText& b) const override
    {
        ++comparisons;
        return inner_->ComparePrepared(a, b);
    }
    void AppendSortKey(const CollationText& text, std::string& key) const override
    {
        std::string own;
        inner_->AppendSortKey(text, own);
        key += distort_ ? distort_(own) : own;
    }
    std::string ConvertOemToAnsi(std::string_view text) const override { return inner_->ConvertOemToAnsi(text); }

    mutable std::size_t comparisons = 0;

private:
    std::unique_ptr<TextRules> inner_ = MakeSystemTextRules();
    Distortion distort_;
};

struct KeyKind {
    const char* name;
    CountingRules::Distortion distort;
};

}  // namespace

void PrintSortComparisons()
{
    const KeyKind kinds[] = {
        {"system keys", nullptr},
        {"keys all equal", [](const std::string&) { return std::string(); }},
        {"keys reversed",
         [](const std::string& key) {
             std::string reversed = key;
             for (char& c : reversed) c = static_cast<char>(0xFF - static_cast<unsigned char>(c));
             return reversed + "\xFF";
         }},
    };
    const Win32CodePage codePage;
    std::printf("\nSort comparisons per row (by extension; by plugin)\n");
    std::printf("%8s %18s %18s %18s\n", "rows", kinds[0].name, kinds[1].name, kinds[2].name);
    for (const std::size_t size : {1'000u, 10'000u, 65'536u}) {
        const ProfileDocument document(codePage, MakeWorkload(size).configurationBytes);
        std::vector<std::string> rows;
        for (const ProfileEntry& entry : document.ReadSection(kPackerSection))
            rows.push_back(entry.key + "=" + entry.value);
        std::printf("%8zu", rows.size());
        for (const KeyKind& kind : kinds) {
            double perRow[2] = {};
            for (const SortMode mode : {SortMode::ByExtension, SortMode::ByPlugin}) {
                const CountingRules rules(kind.distort);
                AssociationList list;
                for (const std::string& row : rows) list.Append(row, false);
                SortAssociations(list, mode, rules);
                perRow[mode == SortMode::ByPlugin] = static_cast<double>(rules.comparisons) / rows.size();
            }
            std::printf(" %8.2f; %7.2f", perRow[0], perRow[1]);
        }
        std::printf("\n");
    }
    std::printf("  one check per neighbouring pair is 1.00; a full sort is about log2(rows)\n");
}

}  // namespace pakvane::bench
