#include "plugins/pe_exports.h"

#include <algorithm>

#include "platform/plugin_loader.h"

namespace pakvane {

namespace {

constexpr std::uint16_t kOptionalMagic32 = 0x10B;
constexpr std::uint16_t kOptionalMagic64 = 0x20B;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kExportDirectorySize = 40;

// Little-endian reads that fail instead of reading past the end.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}
    std::size_t Size() const { return data_.size(); }
    bool Has(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Read(offset, 4); }
    std::optional<std::uint16_t> U16(std::uint64_t offset) const
    {
        const std::optional<std::uint32_t> value = Read(offset, 2);
        if (!value) return std::nullopt;
        return static_cast<std::uint16_t>(*value);
    }
    // The NUL-terminated text at offset, which must end inside limit (an offset in the data).
    std::optional<std::string_view> Text(std::uint64_t offset, std::uint64_t limit) const
    {
        limit = std::min<std::uint64_t>(limit, data_.size());
        if (offset >= limit) return std::nullopt;
        const std::string_view rest = data_.substr(offset, limit - offset);
        const std::size_t end = rest.find('\0');
        if (end == std::string_view::npos) return std::nullopt;
        return rest.substr(0, end);
    }

private:
    std::optional<std::uint32_t> Read(std::uint64_t offset, int length) const
    {
        if (!Has(offset, length)) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = length - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data_[offset + i]);
        return value;
    }

    std::string_view data_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;  // only the bytes the file holds; the rest of the section is zeros
    std::uint32_t rawOffset;
};

// Where an address of the loaded image lies in the file, and where its section's bytes end.
struct FileRange {
    std::uint64_t offset;
    std::uint64_t end;
};

std::optional<FileRange> Locate(const std::vector<Section>& sections, std::uint32_t rva)
{
    for (const Section& section : sections) {
        const std::uint64_t start = section.virtualAddress;
        if (rva >= start && rva - start < section.rawSize) {
            return FileRange{section.rawOffset + (rva - start), std::uint64_t{section.rawOffset} + section.rawSize};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<PeExports> ReadPeExports(std::string_view image)
{
    const Bytes bytes(image);
    if (image.size() < 0x40 || image.substr(0, 2) != "MZ") return std::nullopt;
    const std::optional<std::uint32_t> peOffset = bytes.U32(0x3C);
    if (!peOffset || !bytes.Has(*peOffset, 4) || image.substr(*peOffset, 4) != std::string_view("PE\0\0", 4)) {
        return std::nullopt;
    }
    const std::uint64_t fileHeader = std::uint64_t{*peOffset} + 4;
    const std::optional<std::uint16_t> machine = bytes.U16(fileHeader);
    const std::optional<std::uint16_t> sectionCount = bytes.U16(fileHeader + 2);
    const std::optional<std::uint16_t> optionalSize = bytes.U16(fileHeader + 16);
    if (!machine || !sectionCount || !optionalSize) return std::nullopt;

    const std::uint64_t optional = fileHeader + kFileHeaderSize;
    const std::optional<std::uint16_t> magic = bytes.U16(optional);
    if (!magic || (*magic != kOptionalMagic32 && *magic != kOptionalMagic64)) return std::nullopt;
    const std::uint64_t directoryCountAt = optional + (*magic == kOptionalMagic32 ? 92 : 108);
    const std::optional<std::uint32_t> directoryCount = bytes.U32(directoryCountAt);
    if (directoryCountAt + 4 + 8 > optional + *optionalSize) return std::nullopt;  // no export directory entry

    PeExports result;
    result.machine = *machine;
    if (!directoryCount || *directoryCount == 0) return std::nullopt;
    const std::optional<std::uint32_t> exportRva = bytes.U32(directoryCountAt + 4);
    const std::optional<std::uint32_t> exportSize = bytes.U32(directoryCountAt + 8);
    if (!exportRva || !exportSize) return std::nullopt;

    std::vector<Section> sections;
    const std::uint64_t sectionTable = optional + *optionalSize;
    if (!bytes.Has(sectionTable, std::uint64_t{*sectionCount} * kSectionHeaderSize)) return std::nullopt;
    for (std::uint64_t i = 0; i < *sectionCount; ++i) {
        const std::uint64_t header = sectionTable + i * kSectionHeaderSize;
        const Section section{*bytes.U32(header + 12), *bytes.U32(header + 16), *bytes.U32(header + 20)};
        // The system refuses a library whose file does not hold its sections whole.
        if (section.rawSize != 0 && !bytes.Has(section.rawOffset, section.rawSize)) return std::nullopt;
        sections.push_back(section);
    }
    if (*exportRva == 0) return result;  // a library without exports

    const std::optional<FileRange> directory = Locate(sections, *exportRva);
    if (!directory || directory->end - directory->offset < kExportDirectorySize ||
        !bytes.Has(directory->offset, kExportDirectorySize)) {
        return std::nullopt;
    }
    const std::uint32_t nameCount = *bytes.U32(directory->offset + 24);
    const std::uint32_t namesRva = *bytes.U32(directory->offset + 32);
    if (nameCount == 0) return result;
    const std::optional<FileRange> names = Locate(sections, namesRva);
    if (!names || (names->end - names->offset) / 4 < nameCount || !bytes.Has(names->offset, std::uint64_t{nameCount} * 4)) {
        return std::nullopt;
    }
    result.names.reserve(nameCount);
    for (std::uint64_t i = 0; i < nameCount; ++i) {
        const std::optional<FileRange> name = Locate(sections, *bytes.U32(names->offset + i * 4));
        if (!name) return std::nullopt;
        const std::optional<std::string_view> text = bytes.Text(name->offset, name->end);
        if (!text) return std::nullopt;
        result.names.emplace_back(*text);
    }
    return result;
}

bool MayBePackerPlugin(std::string_view image, std::uint16_t machine)
{
    const std::optional<PeExports> exports = ReadPeExports(image);
    if (!exports || exports->machine != machine) return false;
    return std::all_of(kRequiredPackerExports.begin(), kRequiredPackerExports.end(), [&](std::string_view required) {
        return std::find(exports->names.begin(), exports->names.end(), required) != exports->names.end();
    });
}

}  // namespace pakvane
