#pragma once
// Answers the program's message boxes in the test process for as long as it lives, and
// keeps their texts in order.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/ui/ui_text.h"

namespace pakvane::testing {

class RecordedBoxes {
public:
    explicit RecordedBoxes(std::function<int(UINT flags)> answer = [](UINT) { return IDOK; })
        : previous_(SetMessageBoxHook(
              [this, answer = std::move(answer)](HWND, std::wstring_view text, std::wstring_view, UINT flags) {
                  texts.emplace_back(text);
                  return answer(flags);
              }))
    {
    }
    ~RecordedBoxes() { SetMessageBoxHook(std::move(previous_)); }
    RecordedBoxes(const RecordedBoxes&) = delete;
    RecordedBoxes& operator=(const RecordedBoxes&) = delete;

    std::vector<std::wstring> texts;

private:
    MessageBoxHook previous_;
};

}  // namespace pakvane::testing
