#pragma once
// Files in memory for the portable tests, with the failures a real disk can give.
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace pakvane::testing {

class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;  // a path here is a folder, not a file
    std::set<std::string> unreadable;  // exists, but reading fails (held open without sharing)
    std::set<std::string> unwritable;  // read-only or locked: replacing fails
    std::map<std::string, std::uint32_t> attributes;
    int writes = 0;  // successful
    int attempts = 0;  // every call, failed ones too
    mutable std::map<std::string, int> reads;  // per path

    std::optional<std::string> ReadFile(const std::string& path) const override
    {
        ++reads[path];
        if (unreadable.count(path)) return std::nullopt;
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }

    bool FileExists(const std::string& path) const override { return files.count(path) != 0; }

    bool CanReplace(const std::string& path) const override { return !folders.count(path) && !unwritable.count(path); }

    WriteStatus ReplaceContent(const std::string& path, std::string_view bytes) override
    {
        ++attempts;
        if (folders.count(path) || unwritable.count(path)) return WriteStatus::Failed;
        ++writes;
        files[path] = std::string(bytes);
        return WriteStatus::Ok;
    }

    bool SetAttributes(const std::string& path, std::uint32_t value) override
    {
        if (!files.count(path)) return false;
        attributes[path] = value;
        return true;
    }

    bool RemoveFile(const std::string& path) override
    {
        attributes.erase(path);
        return files.erase(path) != 0;
    }
};

}  // namespace pakvane::testing
