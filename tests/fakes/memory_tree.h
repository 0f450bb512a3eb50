#pragma once
// A folder tree held in memory for the plugin search and the twin rule: listings in a given
// order, files' bytes, and a count of the listings open at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/pe_image.h"
#include "platform/directory_lister.h"
#include "platform/file_system.h"
#include "plugins/pe_exports.h"

namespace pakvane::testing {

inline const std::string kPlugin = MakePeImage(kMachineAmd64, kPluginExports, true);

// Folders (ending in "\") with their entries in listing order, and the files' bytes.
class MemoryTree final : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::map<std::string, std::string> files;
    std::vector<std::string> patterns;
    int open = 0;
    int mostOpen = 0;

    void AddFile(const std::string& folder, const std::string& name, const std::string& bytes = kPlugin,
                 std::uint32_t attributes = kFileAttributeArchive)
    {
        folders[folder].push_back({name, attributes});
        files[folder + name] = bytes;
    }
    void AddFolder(const std::string& parent, const std::string& name,
                   std::uint32_t attributes = kFileAttributeDirectory)
    {
        folders[parent].push_back({name, attributes});
        folders.try_emplace(parent + name + "\\");
    }
    bool List(const std::string& pattern, const std::function<void(const DirectoryEntry&)>& visit) override
    {
        patterns.push_back(pattern);
        EXPECT_TRUE(pattern.ends_with("\\*.*")) << pattern;
        const auto folder = folders.find(pattern.substr(0, pattern.size() - 3));
        if (folder == folders.end()) return false;
        mostOpen = std::max(mostOpen, ++open);
        for (const DirectoryEntry& entry : folder->second) visit(entry);
        --open;
        return true;
    }
    std::unique_ptr<FileReader> OpenFile(const std::string& path) override
    {
        EXPECT_EQ(open, 0) << "a file is read while a listing is open";
        const auto file = files.find(path);
        if (file == files.end()) return nullptr;
        return std::make_unique<Reader>(file->second);
    }

private:
    class Reader final : public FileReader {
    public:
        explicit Reader(std::string bytes) : bytes_(std::move(bytes)) {}
        std::uint64_t Size() const override { return bytes_.size(); }
        std::optional<std::string> Read(std::uint64_t offset, std::size_t length) override
        {
            if (offset > bytes_.size() || length > bytes_.size() - offset) return std::nullopt;
            return bytes_.substr(offset, length);
        }

    private:
        std::string bytes_;
    };
};

}  // namespace pakvane::testing
