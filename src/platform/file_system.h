#pragma once
// Whole-file access for the profile engine and the other core parts. Paths are ANSI
// bytes as the user's Windows spells them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pakvane {

enum class WriteStatus {
    Ok,
    Failed,  // I/O error, read-only or locked file, missing folder, directory target
    Unrepresentable,  // the text cannot be stored without losing characters or breaking lines
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The whole file; nullopt when it is missing, a folder or cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;
    // True for an existing file; a folder does not count.
    virtual bool FileExists(const std::string& path) const = 0;
    // Puts these bytes in place of the file (or creates it) in one step, keeping the old
    // file's attributes. A read-only, locked or otherwise unwritable target is reported as
    // Failed and left exactly as it was.
    virtual WriteStatus ReplaceContent(const std::string& path, std::string_view bytes) = 0;
    // Sets the file's attributes (the FILE_ATTRIBUTE_* values; 0 clears them all).
    virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // Deletes the file; false when it was not there or could not be deleted.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Whether ReplaceContent could put a new file in place now: the target is not a folder,
    // read-only or held without sharing, and a new file can be made beside it. Lets a save
    // that writes two files find a doomed second write before the first one.
    virtual bool CanReplace(const std::string& path) const = 0;
};

inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;

}  // namespace pakvane
