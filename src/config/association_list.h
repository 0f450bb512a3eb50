#pragma once
// The association list: the one home of the rows the main window shows. The list box
// is only a view of it and is refreshed from here after every change.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace pakvane {

struct AssociationRow {
    std::string text;  // the association in line syntax, exactly as loaded or built
    bool checked = false;  // switched on: saved to the configuration file
};

// The two sections as the last load read them or the last save wrote them, each entry as
// "key=value" in file order: a save checks that the files still hold them, so that it never
// overwrites what another program changed meanwhile without asking.
struct ListOrigin {
    bool known = false;
    std::vector<std::string> enabled;  // the configuration file's section
    std::vector<std::string> disabled;  // the settings file's section
};

class AssociationList {
public:
    const std::vector<AssociationRow>& Rows() const { return rows_; }
    std::size_t Count() const { return rows_.size(); }
    const AssociationRow& Row(std::size_t index) const { return rows_.at(index); }

    // -1 when no row is selected.
    int Selected() const { return selected_; }
    void Select(int index) { selected_ = (index >= 0 && static_cast<std::size_t>(index) < rows_.size()) ? index : -1; }

    void Clear()
    {
        rows_.clear();
        selected_ = -1;
        origin_ = {};
    }
    const ListOrigin& Origin() const { return origin_; }
    void SetOrigin(ListOrigin origin) { origin_ = std::move(origin); }
    // Room for this many rows, so that a long load does not move the rows again and again.
    void Reserve(std::size_t count) { rows_.reserve(count); }
    void Append(std::string text, bool checked) { rows_.push_back({std::move(text), checked}); }
    // Replacing a row's text never changes whether it is switched on.
    void SetText(std::size_t index, std::string text) { rows_.at(index).text = std::move(text); }
    void SetChecked(std::size_t index, bool checked) { rows_.at(index).checked = checked; }
    void Erase(std::size_t index);
    // Puts a whole new order in place at once (sorting); selected is the new selected index.
    void Replace(std::vector<AssociationRow> rows, int selected)
    {
        rows_ = std::move(rows);
        Select(selected);
    }
    // Puts the rows into a new order by moving them, not copying: row i of the result is old
    // row order[i]. Check states and the selection go with their rows. order must hold every
    // old index exactly once (std::invalid_argument otherwise, and the list is unchanged).
    void Reorder(const std::vector<std::size_t>& order);

private:
    std::vector<AssociationRow> rows_;
    int selected_ = -1;
    ListOrigin origin_;
};

// Removing the selected row leaves nothing selected; a selection below it moves up with its row.
inline void AssociationList::Erase(std::size_t index)
{
    if (index >= rows_.size()) return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    const int removed = static_cast<int>(index);
    if (selected_ == removed)
        selected_ = -1;
    else if (selected_ > removed)
        --selected_;
}

inline void AssociationList::Reorder(const std::vector<std::size_t>& order)
{
    if (order.size() != rows_.size()) throw std::invalid_argument("not a permutation of the rows");
    std::vector<bool> seen(order.size(), false);
    for (const std::size_t from : order) {
        if (from >= order.size() || seen[from]) throw std::invalid_argument("not a permutation of the rows");
        seen[from] = true;
    }
    std::vector<AssociationRow> reordered;
    reordered.reserve(rows_.size());
    int selected = -1;
    for (const std::size_t from : order) {
        if (static_cast<int>(from) == selected_) selected = static_cast<int>(reordered.size());
        reordered.push_back(std::move(rows_[from]));
    }
    rows_ = std::move(reordered);
    selected_ = selected;
}

}  // namespace pakvane
