#pragma once
// Listing a folder's entries and reading a file's bytes: the plugin search's walk and the
// language files beside the program. Paths are ANSI bytes as the user's Windows spells them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pakvane {

inline constexpr std::uint32_t kFileAttributeVolumeLabel = 0x08;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

struct DirectoryEntry {
    std::string name;
    std::uint32_t attributes = 0;  // the FILE_ATTRIBUTE_* values as the system reports them
};

// A file opened for reading parts of it.
class FileReader {
public:
    virtual ~FileReader() = default;
    virtual std::uint64_t Size() const = 0;
    // Exactly length bytes from offset, or nullopt when the file does not hold them.
    virtual std::optional<std::string> Read(std::uint64_t offset, std::size_t length) = 0;
};

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // Calls visit for every entry that matches pattern (a folder, "\" and a wildcard name),
    // in the order the system delivers them, hidden and system ones included; the listing is
    // closed before this returns. False when the listing cannot start.
    virtual bool List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit) = 0;
    // nullptr when the file cannot be opened.
    virtual std::unique_ptr<FileReader> OpenFile(const std::string& path) = 0;
};

}  // namespace pakvane
