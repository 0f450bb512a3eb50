#include "config/profile_file.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace pakvane {

ProfileFile::ProfileFile(FileSystem& files, const CodePage& codePage, std::string path)
    : files_(&files),
      codePage_(&codePage),
      path_(std::move(path))
{
}

bool ProfileFile::Exists() const
{
    return files_->FileExists(path_);
}

std::optional<ProfileDocument> ProfileFile::Load() const
{
    std::optional<std::string> bytes = files_->ReadFile(path_);
    if (!bytes || bytes->size() > ProfileDocument::kMaxBytes) return std::nullopt;
    return ProfileDocument(*codePage_, std::move(*bytes));
}

ProfileDocument ProfileFile::Read() const
{
    std::optional<ProfileDocument> document = Load();
    return document ? std::move(*document) : ProfileDocument(*codePage_);
}

std::optional<std::string> ProfileFile::ReadString(std::string_view section, std::string_view key) const
{
    const auto document = Load();
    return document ? document->ReadString(section, key) : std::nullopt;
}

std::vector<ProfileEntry> ProfileFile::ReadSection(std::string_view section) const
{
    const auto document = Load();
    return document ? document->ReadSection(section) : std::vector<ProfileEntry>();
}

template <class Change>
WriteStatus ProfileFile::Update(Change change)
{
    std::optional<ProfileDocument> document = Load();
    if (!document) {
        // Something is there that we cannot read (locked, too large, a folder): leave it.
        if (files_->FileExists(path_)) return WriteStatus::Failed;
        document.emplace(*codePage_);
    }
    return Apply(*document, change);
}

template <class Change>
WriteStatus ProfileFile::Apply(ProfileDocument& document, Change change)
{
    try {
        const WriteStatus status = change(document);
        if (status != WriteStatus::Ok || !document.Modified()) return status;
    } catch (const std::length_error&) {
        return WriteStatus::Failed;  // the result would be larger than a profile file we can hold
    } catch (const std::bad_alloc&) {
        return WriteStatus::Failed;
    }
    return files_->ReplaceContent(path_, document.Bytes());
}

WriteStatus ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    return Update([&](ProfileDocument& document) { return document.WriteString(section, key, value); });
}

WriteStatus ProfileFile::WriteStrings(const std::vector<ProfileValue>& values)
{
    return Update([&](ProfileDocument& document) {
        for (const ProfileValue& v : values)
            if (const WriteStatus status = document.WriteString(v.section, v.key, v.value); status != WriteStatus::Ok)
                return status;
        return WriteStatus::Ok;
    });
}

WriteStatus ProfileFile::ReplaceSection(std::string_view section, const std::vector<ProfileEntry>& entries)
{
    return Update([&](ProfileDocument& document) { return document.ReplaceSection(section, entries); });
}

WriteStatus ProfileFile::ReplaceSection(ProfileDocument loaded, std::string_view section,
                                        const std::vector<ProfileEntry>& entries)
{
    return Apply(loaded, [&](ProfileDocument& document) { return document.ReplaceSection(section, entries); });
}

}  // namespace pakvane
