#pragma once
// TCommentForm: the one-line comment of a plugin library, edited in a small dialog.
#include <windows.h>

#include <optional>
#include <string>

#include "i18n/interface_strings.h"

namespace pakvane {

// Shows the dialog modally with the comment (ANSI bytes) under the library's file name;
// the confirmed text, or nothing when it was cancelled.
std::optional<std::string> EditPluginComment(HWND owner, const std::string& fileName, const std::string& comment,
                                             const InterfaceStrings& strings);

}  // namespace pakvane
