#pragma once
// What the Windows profile API itself costs for the same work: the floors our engine is
// measured against, and the naive key-by-key way of using that API.
#include <string>
#include <vector>

namespace pakvane::bench {

// One section's lines, "key=value" each, as the profile API returns them.
using SectionLines = std::vector<std::string>;

// GetPrivateProfileSectionA of the section (a buffer grown until the section fits).
SectionLines ReadSectionWhole(const std::string& file, const char* section);
// One WritePrivateProfileSectionA of these lines.
bool WriteSectionWhole(const std::string& file, const char* section, const SectionLines& lines);

// The key list from GetPrivateProfileStringA(section, NULL), then one
// GetPrivateProfileStringA per key.
SectionLines ReadSectionKeyByKey(const std::string& file, const char* section);
// WritePrivateProfileStringA(section, NULL, NULL) to erase, then one
// WritePrivateProfileStringA per line.
bool WriteSectionKeyByKey(const std::string& file, const char* section, const SectionLines& lines);

}  // namespace pakvane::bench
