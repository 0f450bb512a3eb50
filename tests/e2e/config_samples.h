#pragma once
// Configuration files and expected texts shared by the journeys.
#include <string>

#include "expected_strings.h"
#include "journey.h"

namespace pakvane::e2e {

// Two lines for two extensions; enough for the stories that only need a change.
inline const std::string kTwoRows =
    "[Configuration]\r\nx = 1\r\n\r\n"
    "[PackerPlugins]\r\n"
    "arj=7,c:\\wcx\\arj.wcx\r\n"
    "zip=511,c:\\wcx\\zip.wcx\r\n";

// Interface string 17, "cannot open file", as the program formats it with a path.
inline std::wstring CannotOpen(const std::wstring& path)
{
    std::wstring text = S(17);
    text.replace(text.find(L"%s"), 2, path);
    return text;
}

// The work paths are ASCII, so their UTF-8 form is their ANSI form.
inline std::string Ansi(const std::wstring& path) { return Utf8(path); }

}  // namespace pakvane::e2e
