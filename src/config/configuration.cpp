#include "config/configuration.h"

#include <new>
#include <optional>
#include <stdexcept>
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
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
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

bool IsBigEndianText(std::string_view bytes)
{
    return bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
}

// A file that would be read wrong is not read at all.
std::optional<ProfileDocument> ReadDocument(const ConfigurationIo& io, const std::string& path)
{
    auto bytes = io.files.ReadFile(path);
    if (!bytes || bytes->size() > ProfileDocument::kMaxBytes || IsBigEndianText(*bytes)) return std::nullopt;
    return ProfileDocument(io.codePage, std::move(*bytes));
}

// "[PackerPlugins" with no closing bracket on its line, in a file without the section: the
// user meant the section, and an empty list would be a lie.
bool HasBrokenPackerHeader(const ProfileDocument& document)
{
    if (document.Encoding() == TextEncoding::Utf16LeBom || document.HasSection(kPackerSection)) return false;
    const std::string_view bytes = document.Bytes();
    const std::string_view name = kPackerSection;
    for (std::size_t begin = 0; begin < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", begin);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(begin, end - begin);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.size() > name.size() && line.front() == '[' && line.find(']') == std::string_view::npos &&
            FoldProfileName(line.substr(1, name.size())) == FoldProfileName(name))
            return true;
        begin = end + 1;
    }
    return false;
}

bool HasRedirect(const std::vector<ProfileEntry>& entries)
{
    for (const auto& entry : entries)
        if (SameName(entry.key, kRedirectKey)) return true;
    return false;
}

// Windows compares file names without regard to case and takes either slash.
bool SamePath(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] == '/' ? '\\' : a[i];
        const char y = b[i] == '/' ? '\\' : b[i];
        if (FoldProfileName(std::string_view(&x, 1)) != FoldProfileName(std::string_view(&y, 1))) return false;
    }
    return true;
}

// The file that really holds the section's lines, read once for the load or the save.
struct SectionSource {
    std::string path;  // that file, or the one to name in a problem
    std::optional<ProfileDocument> document;  // its content; nullopt when it does not exist yet
    bool unreadable = false;
    RedirectProblem redirect = RedirectProblem::None;
};

SectionSource FollowRedirect(const ConfigurationIo& io, ProfileDocument configuration,
                             const std::string& configurationPath, const std::string& commanderFolder)
{
    const auto place = LocatePackerSection(configuration, configurationPath, commanderFolder, io.environment);
    SectionSource source;
    source.path = place.path;
    if (place.kind == PackerSectionPlace::Kind::InPlace) {
        source.document = std::move(configuration);
        return source;
    }
    if (place.kind == PackerSectionPlace::Kind::Unresolved) {
        source.redirect = RedirectProblem::Unresolved;
        return source;
    }
    if (SamePath(place.path, configurationPath)) {
        source.path = configurationPath;
        source.redirect = RedirectProblem::ToItself;
        return source;
    }
    if (!io.files.FileExists(place.path)) return source;  // the first save creates it
    source.document = ReadDocument(io, place.path);
    if (!source.document) {
        source.unreadable = true;
        return source;
    }
    // A redirect inside the target would be followed by nobody: refuse rather than guess.
    if (HasRedirect(source.document->ReadSection(kPackerSection))) source.redirect = RedirectProblem::Chain;
    return source;
}

std::vector<std::string> Lines(const std::vector<ProfileEntry>& entries)
{
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const ProfileEntry& entry : entries) lines.push_back(entry.key + "=" + entry.value);
    return lines;
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
                            const std::string& settingsPath, const std::string& commanderFolder, AssociationList& list)
{
    using Outcome = LoadResult::Outcome;
    if (!io.files.FileExists(configurationPath)) return {Outcome::Missing, configurationPath};
    list.Clear();

    auto configuration = ReadDocument(io, configurationPath);
    if (!configuration) return {Outcome::Failed, configurationPath};
    const SectionSource source = FollowRedirect(io, std::move(*configuration), configurationPath, commanderFolder);
    if (source.unreadable || source.redirect != RedirectProblem::None)
        return {Outcome::Failed, source.path, source.redirect};
    if (source.document && HasBrokenPackerHeader(*source.document)) return {Outcome::Failed, source.path};
    std::vector<ProfileEntry> enabled;
    if (source.document) enabled = source.document->ReadSection(kPackerSection);

    // Switched-off rows first; a settings file that cannot be read simply has none.
    std::vector<ProfileEntry> disabled;
    if (auto settings = ReadDocument(io, settingsPath)) disabled = settings->ReadSection(kPackerSection);
    ListOrigin origin{true, Lines(enabled), Lines(disabled)};
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
    list.SetOrigin(std::move(origin));
    return {Outcome::Loaded, configurationPath};
}

SaveResult SaveAssociations(const ConfigurationIo& io, const std::string& configurationPath,
                            const std::string& settingsPath, const std::string& commanderFolder, AssociationList& list,
                            SaveOptions options)
{
    std::vector<ProfileEntry> enabled;
    std::vector<ProfileEntry> disabled;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const AssociationRow& row = list.Row(i);
        if (row.checked) {
            const Association entry = ParseAssociation(row.text);
            enabled.push_back(
                {CanonicalExtension(entry.extension, io.rules), std::to_string(entry.flags) + "," + entry.path});
        } else {
            disabled.push_back({std::to_string(i), CanonicalAssociation(row.text, io.rules)});
        }
    }

    if (configurationPath.empty()) return {WriteStatus::Failed, configurationPath};
    ListOrigin origin = list.Origin();
    const bool exists = io.files.FileExists(configurationPath);
    if (!exists && origin.known && !options.createDeleted)
        return {WriteStatus::Failed, configurationPath, RedirectProblem::None, SaveConflict::ConfigurationDeleted};

    // Find where the lines really go before writing anything; the file read for that is
    // the one rewritten, so it is not read twice.
    std::string target = configurationPath;
    std::optional<ProfileDocument> document;
    if (exists) {
        auto configuration = ReadDocument(io, configurationPath);
        if (!configuration) return {WriteStatus::Failed, configurationPath};
        SectionSource source = FollowRedirect(io, std::move(*configuration), configurationPath, commanderFolder);
        if (source.redirect != RedirectProblem::None) return {WriteStatus::Failed, source.path, source.redirect};
        if (source.unreadable) return {WriteStatus::Failed, source.path};
        target = std::move(source.path);
        document = std::move(source.document);
    }
    std::optional<ProfileDocument> settingsDocument = ReadDocument(io, settingsPath);
    // A settings file that exists but cannot be read is never replaced by a fresh one.
    if (!settingsDocument && io.files.FileExists(settingsPath)) return {WriteStatus::Failed, settingsPath};

    if (origin.known && !options.overwriteChanges) {
        const auto changed = [](const std::optional<ProfileDocument>& now, const std::vector<std::string>& then) {
            return (now ? Lines(now->ReadSection(kPackerSection)) : std::vector<std::string>()) != then;
        };
        if (exists && changed(document, origin.enabled))
            return {WriteStatus::Failed, target, RedirectProblem::None, SaveConflict::ChangedMeanwhile};
        if (changed(settingsDocument, origin.disabled))
            return {WriteStatus::Failed, settingsPath, RedirectProblem::None, SaveConflict::ChangedMeanwhile};
    }
    if (!document) document.emplace(io.codePage);

    // The new configuration file is made in memory first, so that a section that cannot be
    // written (characters the code page lacks) stops the save before either file changes.
    try {
        if (const WriteStatus status = document->RewriteSection(kPackerSection, enabled); status != WriteStatus::Ok)
            return {status, target};
    } catch (const std::length_error&) {
        return {WriteStatus::Failed, target};
    } catch (const std::bad_alloc&) {
        return {WriteStatus::Failed, target};
    }

    // A configuration file that cannot be replaced now fails the save before the settings
    // file changes, so that such a failure leaves both files as they were.
    if (document->Modified() && !io.files.CanReplace(target)) return {WriteStatus::Failed, target};
    ProfileFile settingsFile(io.files, io.codePage, settingsPath);
    const WriteStatus settingsWritten =
        settingsDocument ? settingsFile.ReplaceSection(std::move(*settingsDocument), kPackerSection, disabled)
                         : settingsFile.ReplaceSection(kPackerSection, disabled);
    if (settingsWritten != WriteStatus::Ok) return {settingsWritten, settingsPath};
    // From here the settings file holds our rows: a retry must not take them for a change.
    origin.known = true;
    origin.disabled = Lines(disabled);
    origin.enabled = exists ? Lines(document->ReadSection(kPackerSection)) : std::vector<std::string>();
    list.SetOrigin(origin);
    if (document->Modified()) {
        if (const WriteStatus status = io.files.ReplaceContent(target, document->Bytes()); status != WriteStatus::Ok)
            return {status, target};
    }
    origin.enabled = Lines(document->ReadSection(kPackerSection));
    list.SetOrigin(std::move(origin));
    return {WriteStatus::Ok, std::string()};
}

LoadProblem DiagnoseLoadFailure(const ConfigurationIo& io, const std::string& path, const std::string& commanderFolder)
{
    auto bytes = io.files.ReadFile(path);
    if (!bytes || bytes->size() > ProfileDocument::kMaxBytes) return LoadProblem::None;
    if (IsBigEndianText(*bytes)) return LoadProblem::BigEndianText;
    const std::optional<ProfileDocument> document(std::in_place, io.codePage, std::move(*bytes));
    const auto place = LocatePackerSection(*document, path, commanderFolder, io.environment);
    switch (place.kind) {
    case PackerSectionPlace::Kind::InPlace:
        return HasBrokenPackerHeader(*document) ? LoadProblem::MalformedHeader : LoadProblem::None;
    case PackerSectionPlace::Kind::Redirected:
        if (SamePath(place.path, path)) return LoadProblem::RedirectToItself;
        break;
    case PackerSectionPlace::Kind::Unresolved:
        break;
    }
    // A load names a redirecting file only when it is the target of another redirect.
    return LoadProblem::RedirectChain;
}

}  // namespace pakvane
