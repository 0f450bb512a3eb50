#pragma once
// The platform layer's one way from 8-bit text to UTF-16, and from ANSI paths to the
// wide paths the W functions take.
#include <string>
#include <string_view>

namespace pakvane {

// Appends the text, read in the code page, as UTF-16 units; false and nothing appended
// when the code page cannot convert it. One call for texts of any length up to 2 GiB.
bool AppendWideUnits(unsigned codePage, std::string_view text, std::u16string& units);

// The text as UTF-16 units; empty when it cannot be converted.
std::u16string WideUnits(unsigned codePage, std::string_view text);
// The same for the W functions' own string type.
bool AppendWideText(unsigned codePage, std::string_view text, std::wstring& out);

// UTF-16 as 8-bit text in the code page. bestFit lets a character take a look-alike; lossy
// (when given) tells whether some character had no form there and became the default.
std::string NarrowText(unsigned codePage, std::u16string_view text, bool bestFit, bool* lossy);
std::string NarrowText(unsigned codePage, std::wstring_view text, bool bestFit, bool* lossy);

// An ANSI path as the W functions take it (what the A functions do with it themselves).
std::wstring WidePath(std::string_view ansiPath);

// A wide path as the ANSI bytes the rest of the program works with. A name the ANSI code
// page cannot spell is taken in its short (8.3) form, which it can; empty when the file
// has no such form either.
std::string AnsiPath(const std::wstring& path);

// The running program's own file, asked for through the wide API so that a folder with any
// name works, in the form AnsiPath gives.
std::string ExecutablePath();
// The same, as the wide API gives it (empty when it cannot be asked).
std::wstring ExecutablePathWide();

}  // namespace pakvane
