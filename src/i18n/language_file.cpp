#include "i18n/language_file.h"

#include <new>
#include <stdexcept>

#include "config/profile_file.h"
#include "i18n/interface_strings.h"

namespace pakvane {

namespace {

constexpr char kPattern[] = "*.lng";
constexpr std::string_view kExtension = ".lng";
// The profile functions read a value into a buffer of 2048 characters.
constexpr std::size_t kMaxValueLength = 2047;

// The wildcard also matches a long name through its short (8.3) form ("x.lngx" as
// "X~1.LNG"); only names that really end in ".lng" are language files.
bool HasLanguageExtension(std::string_view name)
{
    if (name.size() <= kExtension.size()) return false;
    const std::string_view tail = name.substr(name.size() - kExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (c != kExtension[i]) return false;
    }
    return true;
}

std::string Cut(std::string value)
{
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    return value;
}

// The language name of a document; nullopt when it is absent or empty.
std::optional<std::string> NameIn(const ProfileDocument& document)
{
    std::optional<std::string> name = document.ReadString("Language", "Lng");
    if (!name || name->empty()) return std::nullopt;
    return Cut(std::move(*name));
}

}  // namespace

std::string FolderOfPath(std::string_view path)
{
    const std::size_t cut = path.find_last_of("\\/:");
    if (cut == std::string_view::npos) return std::string();
    std::string folder(path.substr(0, cut + 1));
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

LanguageFolder::LanguageFolder(FileSystem& files, const CodePage& codePage, DirectoryLister& listing,
                               std::string folder)
    : files_(&files),
      codePage_(&codePage),
      listing_(&listing),
      folder_(std::move(folder))
{
    if (!folder_.empty() && folder_.back() != '\\' && folder_.back() != '/') folder_ += '\\';
}

std::optional<std::string> LanguageFolder::ReadName(const std::string& fileName) const
{
    try {
        const ProfileFile file(*files_, *codePage_, folder_ + fileName);
        if (folder_.empty() || fileName.empty() || !file.Exists()) return std::nullopt;
        return NameIn(file.Read());
    } catch (const std::length_error&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

std::vector<LanguageFile> LanguageFolder::List() const
{
    std::vector<LanguageFile> found;
    if (folder_.empty()) return found;  // never the current folder
    std::vector<std::string> fileNames;
    listing_->List(folder_ + std::string(kPattern), [&](const DirectoryEntry& entry) {
        if (!(entry.attributes & kFileAttributeDirectory) && HasLanguageExtension(entry.name))
            fileNames.push_back(entry.name);
    });
    for (std::string& fileName : fileNames) {
        if (std::optional<std::string> name = ReadName(fileName))
            found.push_back(LanguageFile{std::move(fileName), std::move(*name)});
    }
    return found;
}

std::optional<LanguageStrings> LanguageFolder::ReadStrings(const std::string& fileName) const
{
    try {
        const ProfileFile file(*files_, *codePage_, folder_ + fileName);
        if (folder_.empty() || fileName.empty() || !file.Exists()) return std::nullopt;
        const ProfileDocument document = file.Read();
        if (!NameIn(document)) return std::nullopt;
        LanguageStrings strings;
        for (int key = 1; key <= kInterfaceStringCount; ++key) {
            if (std::optional<std::string> value = document.ReadString("Strings", std::to_string(key)))
                strings.emplace_back(key - 1, Cut(std::move(*value)));
        }
        return strings;
    } catch (const std::length_error&) {
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

std::optional<std::size_t> FindLanguageFile(const std::vector<LanguageFile>& files, std::string_view fileName,
                                            const TextRules& rules)
{
    if (fileName.empty()) return std::nullopt;
    const std::string wanted = rules.UpperAnsi(fileName);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (rules.UpperAnsi(files[i].fileName) == wanted) return i;
    }
    return std::nullopt;
}

}  // namespace pakvane
