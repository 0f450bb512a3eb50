#include "plugins/version_summary.h"

#include <array>
#include <memory>
#include <string_view>

#include "platform/version_info.h"

namespace pakvane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The standard version strings, in the order they are listed.
constexpr std::array<std::string_view, 12> kVersionFields = {
    "ProductVersion",   "FileVersion", "CompanyName", "FileDescription", "InternalName", "LegalCopyright",
    "OriginalFilename", "ProductName", "Comments",    "LegalTrademarks", "PrivateBuild", "SpecialBuild"};

// Resource data is little-endian whatever the host.
std::uint32_t ReadUint32(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return value;
}

std::uint16_t ReadUint16(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      (static_cast<unsigned char>(bytes[offset + 1]) << 8));
}

// VS_FIXEDFILEINFO: signature, structure version, then the file and product versions.
constexpr std::size_t kFileVersionOffset = 8;
constexpr std::size_t kProductVersionOffset = 16;
constexpr std::size_t kFixedInfoUsedSize = 24;

void AppendTranslationBlock(const VersionResource& resource, const VersionInfoSource& source, std::uint16_t language,
                            std::uint16_t codePage, std::string& out)
{
    out += kLineEnd;
    out += "Language/Code Page:\t" + std::to_string(language) + "/" + std::to_string(codePage) + " (" +
           source.LanguageName(language) + ")";
    out += kLineEnd;
    out += "-------------------";
    out += kLineEnd;
    const std::string prefix = "\\StringFileInfo\\" + FormatHex8((std::uint32_t{language} << 16) | codePage) + "\\";
    for (const std::string_view field : kVersionFields) {
        const std::optional<VersionString> value = resource.Text(prefix + std::string(field));
        if (!value || value->length == 0 || value->text.empty()) continue;
        out += std::string(field) + ":\t" + value->text;
        out += kLineEnd;
    }
}

}  // namespace

std::string FormatHex8(std::uint32_t value)
{
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text(8, '0');
    for (std::size_t i = 8; i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
    return text;
}

std::string FormatVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant)
{
    return std::to_string(mostSignificant >> 16) + "." + std::to_string(mostSignificant & 0xFFFF) + "." +
           std::to_string(leastSignificant >> 16) + "." + std::to_string(leastSignificant & 0xFFFF);
}

std::string VersionSummary(const VersionInfoSource& source, const std::string& path)
{
    const std::unique_ptr<VersionResource> resource = source.Read(path);
    if (!resource) return std::string();
    std::string out(kLineEnd);
    const std::optional<std::string> fixed = resource->Binary("\\");
    if (fixed && fixed->size() >= kFixedInfoUsedSize) {
        out += "FileVersion:\t" +
               FormatVersion(ReadUint32(*fixed, kFileVersionOffset), ReadUint32(*fixed, kFileVersionOffset + 4));
        out += kLineEnd;
        out += "ProductVersion:\t" +
               FormatVersion(ReadUint32(*fixed, kProductVersionOffset), ReadUint32(*fixed, kProductVersionOffset + 4));
        out += kLineEnd;
    }
    const std::optional<std::string> translations = resource->Binary("\\VarFileInfo\\Translation");
    if (translations) {
        for (std::size_t at = 0; at + 4 <= translations->size(); at += 4)
            AppendTranslationBlock(*resource, source, ReadUint16(*translations, at), ReadUint16(*translations, at + 2),
                                   out);
    }
    return out;
}

}  // namespace pakvane
