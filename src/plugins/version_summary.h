#pragma once
// The text the memo shows about a library's version resource: the fixed file and product
// versions, then one block of version strings per translation the resource lists.
#include <cstdint>
#include <string>

namespace pakvane {

class VersionInfoSource;

// Exactly eight upper-case hexadecimal digits.
std::string FormatHex8(std::uint32_t value);

// Four decimal parts joined by ".": the high and low 16 bits of each half.
std::string FormatVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// Lines separated by CR LF, beginning with CR LF; empty when the file has no readable
// version resource. Never fails.
std::string VersionSummary(const VersionInfoSource& source, const std::string& path);

}  // namespace pakvane
