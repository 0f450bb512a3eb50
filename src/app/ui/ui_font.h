#pragma once
#include "app/ui/dpi.h"
#include "app/ui/win32_handles.h"

namespace pakvane {

// The window font, 8 pt: "MS Sans Serif" where that font can show the Cyrillic built-in
// texts, else its TrueType successor "Microsoft Sans Serif", else the system's message font.
UniqueFont CreateUiFont(const DpiScale& scale);

}  // namespace pakvane
