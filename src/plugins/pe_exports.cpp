#include "plugins/pe_exports.h"

#include <algorithm>

#include "platform/directory_lister.h"
#include "platform/plugin_loader.h"

namespace pakvane {

namespace {

constexpr std::uint16_t kOptionalMagic32 = 0x10B;
constexpr std::uint16_t kOptionalMagic64 = 0x20B;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kExportDirectorySize = 40;
// A section with the export names larger than this is not taken for a plugin's.
constexpr std::uint32_t kMaxSectionRead = 64u << 20;

class MemoryReader final : public FileReader {
public:
    explicit MemoryReader(std::string_view data) : data_(data) {}
    std::uint64_t Size() const override { return data_.size(); }
    std::optional<std::string> Read(std::uint64_t offset, std::size_t length) override
    {
        if (offset > data_.size() || length > data_.size() - offset) return std::nullopt;
        return std::string(data_.substr(offset, length));
    }

private:
    std::string_view data_;
};

// A little-endian field; the caller has checked that bytes holds it.
std::uint32_t Field(std::string_view bytes, std::size_t at, int length)
{
    std::uint32_t value = 0;
    for (int i = length - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;  // only the bytes the file holds; the rest of the section is zeros
    std::uint32_t rawOffset;
};

// The file's bytes from an address of the loaded image to the end of its section's data;
// each section is read once, when first needed.
class SectionData {
public:
    SectionData(FileReader& file, std::vector<Section> sections)
        : file_(file),
          sections_(std::move(sections)),
          loaded_(sections_.size())
    {
    }
    std::optional<std::string_view> From(std::uint32_t rva)
    {
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            const Section& section = sections_[i];
            if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize) continue;
            if (section.rawSize > kMaxSectionRead) return std::nullopt;
            if (!loaded_[i]) loaded_[i] = file_.Read(section.rawOffset, section.rawSize);
            if (!loaded_[i]) return std::nullopt;
            return std::string_view(*loaded_[i]).substr(rva - section.virtualAddress);
        }
        return std::nullopt;
    }

private:
    FileReader& file_;
    std::vector<Section> sections_;
    std::vector<std::optional<std::string>> loaded_;  // sized once: views into it stay valid
};

// The first `length` bytes from the PE signature on (the file header follows it), after
// checking the DOS header and the signature; pe is where they start.
std::optional<std::string> ReadPeHeader(FileReader& file, std::size_t length, std::uint64_t& pe)
{
    const std::optional<std::string> dos = file.Read(0, 0x40);
    if (!dos || dos->substr(0, 2) != "MZ") return std::nullopt;
    pe = Field(*dos, 0x3C, 4);
    std::optional<std::string> header = file.Read(pe, length);
    if (!header || header->substr(0, 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
    return header;
}

}  // namespace

std::optional<PeExports> ReadPeExports(FileReader& file)
{
    std::uint64_t pe = 0;
    const std::optional<std::string> header = ReadPeHeader(file, 24, pe);  // signature and file header
    if (!header) return std::nullopt;
    PeExports result;
    result.machine = static_cast<std::uint16_t>(Field(*header, 4, 2));
    const std::uint32_t sectionCount = Field(*header, 6, 2);
    const std::uint32_t optionalSize = Field(*header, 20, 2);

    const std::optional<std::string> optional = file.Read(pe + 24, optionalSize);
    if (!optional || optionalSize < 2) return std::nullopt;
    const std::uint32_t magic = Field(*optional, 0, 2);
    if (magic != kOptionalMagic32 && magic != kOptionalMagic64) return std::nullopt;
    const std::size_t directories = magic == kOptionalMagic32 ? 92 : 108;  // the count, then the entries
    if (directories + 12 > optionalSize || Field(*optional, directories, 4) == 0) return std::nullopt;
    const std::uint32_t exportRva = Field(*optional, directories + 4, 4);

    const std::optional<std::string> table = file.Read(pe + 24 + optionalSize, sectionCount * kSectionHeaderSize);
    if (!table) return std::nullopt;
    std::vector<Section> sections;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = i * kSectionHeaderSize;
        const Section section{Field(*table, at + 12, 4), Field(*table, at + 16, 4), Field(*table, at + 20, 4)};
        // The system refuses a library whose file does not hold its sections whole.
        const bool outside = section.rawOffset > file.Size() || section.rawSize > file.Size() - section.rawOffset;
        if (section.rawSize != 0 && outside) {
            return std::nullopt;
        }
        sections.push_back(section);
    }
    if (exportRva == 0) return result;  // a library without exports

    SectionData data(file, std::move(sections));
    const std::optional<std::string_view> directory = data.From(exportRva);
    if (!directory || directory->size() < kExportDirectorySize) return std::nullopt;
    const std::uint32_t nameCount = Field(*directory, 24, 4);
    if (nameCount == 0) return result;
    const std::optional<std::string_view> names = data.From(Field(*directory, 32, 4));
    if (!names || names->size() / 4 < nameCount) return std::nullopt;
    result.names.reserve(nameCount);
    for (std::size_t i = 0; i < nameCount; ++i) {
        const std::optional<std::string_view> name = data.From(Field(*names, i * 4, 4));
        if (!name) return std::nullopt;
        const std::size_t end = name->find('\0');
        if (end == std::string_view::npos) return std::nullopt;
        result.names.emplace_back(name->substr(0, end));
    }
    return result;
}

std::optional<std::uint16_t> ReadPeMachine(FileReader& file)
{
    std::uint64_t pe = 0;
    const std::optional<std::string> header = ReadPeHeader(file, 6, pe);
    if (!header) return std::nullopt;
    return static_cast<std::uint16_t>(Field(*header, 4, 2));
}

std::optional<std::uint16_t> ReadPeMachine(std::string_view image)
{
    MemoryReader reader(image);
    return ReadPeMachine(reader);
}

std::optional<PeExports> ReadPeExports(std::string_view image)
{
    MemoryReader reader(image);
    return ReadPeExports(reader);
}

std::optional<std::uint16_t> PackerPluginMachine(FileReader& file)
{
    const std::optional<PeExports> exports = ReadPeExports(file);
    if (!exports) return std::nullopt;
    const bool complete =
        std::all_of(kRequiredPackerExports.begin(), kRequiredPackerExports.end(), [&](std::string_view required) {
            return std::find(exports->names.begin(), exports->names.end(), required) != exports->names.end();
        });
    if (!complete) return std::nullopt;
    return exports->machine;
}

std::optional<std::uint16_t> PackerPluginMachine(std::string_view image)
{
    MemoryReader reader(image);
    return PackerPluginMachine(reader);
}

}  // namespace pakvane
