#include "config/configuration.h"

#include <optional>
#include <vector>

#include "config/association.h"
#include "config/profile_document.h"
#include "config/profile_file.h"

namespace pakvane {

namespace {

constexpr char kRedirectKey[] = "RedirectSection";

bool IsAbsolutePath(const std::string& path)
{
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool SameName(std::string_view a, std::string_view b)
{
    return FoldProfileName(a) == FoldProfileName(b);
}

// Expands %NAME% references; nullopt when one cannot be resolved, so that nothing is ever
// read from or written to a path with a variable left in it.
std::optional<std::string> ExpandVariables(const std::string& text, const std::string& commanderFolder,
                                           const Environment& environment)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '%') { out += text[i++]; continue; }
        const auto close = text.find('%', i + 1);
        if (close == std::string::npos || close == i + 1) return std::nullopt;
        const std::string name = text.substr(i + 1, close - i - 1);
        std::optional<std::string> value;
        if (SameName(name, "COMMANDER_PATH") && !commanderFolder.empty()) {
            value = commanderFolder;
            if (value->back() == '\\') value->pop_back();
        } else {
            value = environment.Variable(name);
        }
        if (!value || value->empty()) return std::nullopt;
        out += *value;
        i = close + 1;
    }
    return out;
}

std::optional<ProfileDocument> ReadDocument(const ConfigurationIo& io, const std::string& path)
{
    auto bytes = io.files.ReadFile(path);
    if (!bytes || bytes->size() > ProfileDocument::kMaxBytes) return std::nullopt;
    return ProfileDocument(io.codePage, std::move(*bytes));
}

bool HasRedirect(const std::vector<ProfileEntry>& entries)
{
    for (const auto& entry : entries)
        if (SameName(entry.key, kRedirectKey)) return true;
    return false;
}

}  // namespace

PackerSectionPlace LocatePackerSection(const ProfileDocument& configuration, const std::string& configurationPath,
                                       const std::string& commanderFolder, const Environment& environment)
{
    using Kind = PackerSectionPlace::Kind;
    const auto redirect = configuration.ReadString(kPackerSection, kRedirectKey);
    if (!redirect) return {Kind::InPlace, configurationPath};
    auto target = ExpandVariables(*redirect, commanderFolder, environment);
    if (!target || target->empty()) return {Kind::Unresolved, *redirect};
    if (!IsAbsolutePath(*target)) *target = FolderOf(configurationPath) + *target;
    return {Kind::Redirected, *target};
}

LoadResult LoadAssociations(const ConfigurationIo& io, const std::string& configurationPath,
                            const std::string& settingsPath, const std::string& commanderFolder,
                            AssociationList& list)
{
    using Outcome = LoadResult::Outcome;
    if (!io.files.FileExists(configurationPath)) return {Outcome::Missing, configurationPath};
    list.Clear();

    auto configuration = ReadDocument(io, configurationPath);
    if (!configuration) return {Outcome::Failed, configurationPath};
    const auto place = LocatePackerSection(*configuration, configurationPath, commanderFolder, io.environment);
    if (place.kind == PackerSectionPlace::Kind::Unresolved) return {Outcome::Failed, place.path};

    std::vector<ProfileEntry> enabled;
    if (place.kind == PackerSectionPlace::Kind::InPlace) {
        enabled = configuration->ReadSection(kPackerSection);
    } else if (io.files.FileExists(place.path)) {
        auto target = ReadDocument(io, place.path);
        if (!target) return {Outcome::Failed, place.path};
        enabled = target->ReadSection(kPackerSection);
        // A redirect inside the target would be followed by nobody: refuse rather than guess.
        if (HasRedirect(enabled)) return {Outcome::Failed, place.path};
    }

    // Switched-off rows first; a settings file that cannot be read simply has none.
    std::vector<ProfileEntry> disabled;
    if (auto settings = ReadDocument(io, settingsPath)) disabled = settings->ReadSection(kPackerSection);
    list.Reserve(disabled.size() + enabled.size());
    for (auto& entry : disabled) {
        const Association row = ParseAssociation(entry.value);
        if (!row.extension.empty() && !row.path.empty()) list.Append(std::move(entry.value), false);
    }
    for (const auto& entry : enabled) {
        if (entry.value.empty()) continue;
        std::string text;
        text.reserve(entry.key.size() + 1 + entry.value.size());
        text.append(entry.key).append(1, '=').append(entry.value);
        list.Append(std::move(text), true);
    }
    return {Outcome::Loaded, configurationPath};
}

SaveResult SaveAssociations(const ConfigurationIo& io, const std::string& configurationPath,
                            const std::string& settingsPath, const std::string& commanderFolder,
                            const AssociationList& list)
{
    std::vector<ProfileEntry> enabled;
    std::vector<ProfileEntry> disabled;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const AssociationRow& row = list.Row(i);
        if (row.checked) {
            const Association entry = ParseAssociation(row.text);
            enabled.push_back({CanonicalExtension(entry.extension, io.rules),
                               std::to_string(entry.flags) + "," + entry.path});
        } else {
            disabled.push_back({std::to_string(i), CanonicalAssociation(row.text, io.rules)});
        }
    }

    if (configurationPath.empty()) return {WriteStatus::Failed, false, configurationPath};

    // Find where the lines really go before writing anything; the file read for that is
    // the one rewritten, so it is not read twice.
    std::string target = configurationPath;
    std::optional<ProfileDocument> targetDocument;
    if (io.files.FileExists(configurationPath)) {
        targetDocument = ReadDocument(io, configurationPath);
        if (!targetDocument) return {WriteStatus::Failed, false, configurationPath};
        const auto place = LocatePackerSection(*targetDocument, configurationPath, commanderFolder, io.environment);
        if (place.kind == PackerSectionPlace::Kind::Unresolved) return {WriteStatus::Failed, false, place.path, true};
        if (place.kind == PackerSectionPlace::Kind::Redirected) {
            target = place.path;
            targetDocument.reset();
            if (io.files.FileExists(target)) {
                targetDocument = ReadDocument(io, target);
                if (!targetDocument) return {WriteStatus::Failed, false, target};
                if (HasRedirect(targetDocument->ReadSection(kPackerSection))) return {WriteStatus::Failed, false, target, true};
            }
        }
    }

    ProfileFile configurationFile(io.files, io.codePage, target);
    const WriteStatus written = targetDocument
                                    ? configurationFile.ReplaceSection(std::move(*targetDocument), kPackerSection, enabled)
                                    : configurationFile.ReplaceSection(kPackerSection, enabled);
    if (written != WriteStatus::Ok) return {written, false, target};
    ProfileFile settingsFile(io.files, io.codePage, settingsPath);
    if (auto status = settingsFile.ReplaceSection(kPackerSection, disabled); status != WriteStatus::Ok)
        return {status, true, settingsPath};
    return {WriteStatus::Ok, true, std::string()};
}

}  // namespace pakvane
