#pragma once
// The main window's design numbers, in pixels at 96 dots per inch.

namespace pakvane::design {

// The client area; with its frame the window is 446 by 293.
constexpr int kClientWidth = 438;
constexpr int kClientHeight = 266;
constexpr int kLeft = 241;
constexpr int kTop = 135;
constexpr int kMemoHeight = 81;

}  // namespace pakvane::design
