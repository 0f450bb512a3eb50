#pragma once
// One association: extension "=" flags "," path, the line syntax of the PackerPlugins
// section and of the list's row texts.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pakvane {

class TextRules;

// Capability bits of Total Commander's packer plugin interface (GetPackerCaps).
inline constexpr std::int32_t kCapNew = 1;  // can create new archives
inline constexpr std::int32_t kCapModify = 2;  // can modify existing archives
inline constexpr std::int32_t kCapMultiple = 4;  // handles multi-volume archives
inline constexpr std::int32_t kCapDelete = 8;  // can delete files from an archive
inline constexpr std::int32_t kCapOptions = 16;  // has its own options dialog
inline constexpr std::int32_t kCapMemPack = 32;  // supports packing in memory
inline constexpr std::int32_t kCapByContent = 64;  // detects the archive type by content
inline constexpr std::int32_t kCapSearchText = 128;  // can search for text in archives
inline constexpr std::int32_t kCapHide = 256;  // show such archives as ordinary files
inline constexpr std::int32_t kCapKnownMask = 511;  // the nine bits that have a meaning

// The bits in the order of the properties dialog's check boxes.
inline constexpr std::array<std::int32_t, 9> kCapabilityBits = {
    kCapNew, kCapModify, kCapMultiple, kCapDelete, kCapOptions, kCapMemPack, kCapByContent, kCapSearchText, kCapHide};

struct Association {
    std::string extension;  // trimmed, case as written
    std::int32_t flags = 0;
    std::string path;  // trimmed
    bool operator==(const Association&) const = default;
};

// Removes leading and trailing bytes with codes 0 to 32.
std::string_view TrimBlanks(std::string_view text);

// Reads a flags number: optional "+" or "-", then decimal digits, or hexadecimal digits
// after "$", "x", "X", "0x" or "0X". Anything else, or a value outside the signed 32-bit
// range, gives 0. The text is not trimmed here.
std::int32_t ParseFlags(std::string_view text);

// The parts of a row text as views of it, each trimmed: what comes before the first "=",
// between it and the next ",", and after that. No "=" gives an empty extension, no ","
// after it empty flags. The one reading of the row syntax; the rest build on it.
struct AssociationParts {
    std::string_view extension, flags, path;
};
AssociationParts SplitAssociation(std::string_view text);

// Never fails: no "=" gives an empty extension, no "," after it gives flags 0.
Association ParseAssociation(std::string_view text);

// extension "=" decimal flags "," path, with nothing added or trimmed.
std::string FormatAssociation(std::string_view extension, std::int32_t flags, std::string_view path);

// The extension as it is compared and saved: trimmed and lower-cased in the ANSI code page.
std::string CanonicalExtension(std::string_view extension, const TextRules& rules);

// The row text in the form a save writes: canonical extension, decimal flags, trimmed path.
std::string CanonicalAssociation(std::string_view text, const TextRules& rules);

}  // namespace pakvane
