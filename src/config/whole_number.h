#pragma once
// Whole numbers as the program's files write them: the one number reader for the flags of an
// association and the integer values of the settings file.
#include <cstdint>
#include <optional>
#include <string_view>

namespace pakvane {

enum class NumberSyntax {
    // An optional "+" or "-", then decimal digits, or hexadecimal digits after "$", "x", "X",
    // "0x" or "0X"; within the signed 32-bit range.
    Flags,
    // An optional sign and decimal digits within the signed 32-bit range, or, with no sign,
    // hexadecimal digits after "0x" or "0X" taken as 32 unsigned bits ("0xFFFFFFFF" is -1).
    Settings,
};

// nullopt for an empty text, any other character, or a value out of range.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text, NumberSyntax syntax);

}  // namespace pakvane
