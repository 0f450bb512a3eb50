#pragma once
// Reading a file's version resource without loading the file as a module.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace pakvane {

struct VersionString {
    std::string text;  // up to the first NUL, in the ANSI code page
    std::uint32_t length = 0;  // as the system reports it (characters, NUL included)
};

// One file's version resource, read once.
class VersionResource {
public:
    virtual ~VersionResource() = default;
    // A binary value ("\\" for the fixed data, "\\VarFileInfo\\Translation"): its bytes, as
    // many as the system reports; nullopt when the value is absent.
    virtual std::optional<std::string> Binary(const std::string& subBlock) const = 0;
    // A string value ("\\StringFileInfo\\<key>\\<name>"); nullopt when absent.
    virtual std::optional<VersionString> Text(const std::string& subBlock) const = 0;
};

class VersionInfoSource {
public:
    virtual ~VersionInfoSource() = default;
    // Null when the file has no version resource or it cannot be read.
    virtual std::unique_ptr<VersionResource> Read(const std::string& path) const = 0;
    // The system's name for a language identifier; empty when it has none.
    virtual std::string LanguageName(std::uint16_t language) const = 0;
};

}  // namespace pakvane
