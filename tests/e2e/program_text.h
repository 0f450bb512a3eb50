#pragma once
// The program's own interface texts, read from its string table (linked into the driver)
// and widened from the code page that table is written in: what a user must see in a
// message box whatever the ANSI code page of the run. The tests keep no copy of the table.

#include <string>

#include "i18n/interface_strings.h"
#include "i18n/message_detail.h"

namespace pakvane::e2e {

std::wstring S(Str id);
// The text with its one "%s" replaced by the argument, as a message shows it.
std::wstring Formatted(Str id, const std::wstring& argument);
// A message's reason line, as it stands under interface string id.
std::wstring Detail(MessageDetail detail, Str id);

}  // namespace pakvane::e2e
