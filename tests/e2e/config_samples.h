#pragma once
// Configuration files shared by the journeys.
#include <string>

#include "journey.h"
#include "program_text.h"

namespace pakvane::e2e {

// Two lines for two extensions; enough for the stories that only need a change.
inline const std::string kTwoRows =
    "[Configuration]\r\nx = 1\r\n\r\n"
    "[PackerPlugins]\r\n"
    "arj=7,c:\\wcx\\arj.wcx\r\n"
    "zip=511,c:\\wcx\\zip.wcx\r\n";

// The work paths are ASCII, so their UTF-8 form is their ANSI form.
inline std::string Ansi(const std::wstring& path)
{
    return Utf8(path);
}

}  // namespace pakvane::e2e
