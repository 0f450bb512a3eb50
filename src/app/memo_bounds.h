#pragma once
// The limits of the memo under the association list, in device pixels. minSize is the
// splitter's minimum size, group the present height of the list's group box.
#include <optional>

namespace pakvane {

// At every resize of the window (and for a restored height): a memo below the minimum
// becomes one pixel taller than it; one taller than the group allows becomes one pixel
// less than that.
constexpr int FitMemoHeight(int memo, int group, int minSize)
{
    if (memo < minSize) memo = minSize + 1;
    if (memo > group - minSize) memo = group - minSize - 1;
    return memo;
}

// While the splitter is dragged: the proposed height is limited to the group less the
// minimum and the splitter's own height; a height not above the minimum is refused, so the
// memo keeps its last accepted height and never collapses.
constexpr std::optional<int> AcceptSplitterMemoHeight(int proposed, int group, int minSize, int splitterHeight)
{
    const int largest = group - minSize - splitterHeight;
    if (proposed > largest) proposed = largest;
    if (proposed <= minSize) return std::nullopt;
    return proposed;
}

}  // namespace pakvane
