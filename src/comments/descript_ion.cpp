#include "comments/descript_ion.h"

#include <optional>

#include "config/association.h"
#include "platform/file_system.h"
#include "platform/text_rules.h"

namespace pakvane {

namespace {

constexpr std::string_view kCommentFileName = "descript.ion";
constexpr std::string_view kLineBreakBytes = "\r\n\x1A";

std::size_t FolderPartLength(std::string_view path)
{
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? 0 : cut + 1;
}

}  // namespace

CommentEntry SplitCommentLine(std::string_view line)
{
    if (!line.empty() && line.front() == '"') {
        const std::string_view rest = line.substr(1);
        const std::size_t close = rest.find('"');
        if (close == std::string_view::npos) return {std::string(TrimBlanks(rest)), std::string()};
        return {std::string(TrimBlanks(rest.substr(0, close))), std::string(TrimBlanks(rest.substr(close + 1)))};
    }
    std::size_t cut = line.find(' ');
    if (cut == std::string_view::npos) cut = line.find('\t');
    if (cut == std::string_view::npos) return {std::string(line), std::string()};
    return {std::string(line.substr(0, cut)), std::string(TrimBlanks(line.substr(cut + 1)))};
}

std::string FormatCommentLine(const CommentEntry& entry)
{
    const bool quote = entry.name.find(' ') != std::string::npos;
    return (quote ? "\"" + entry.name + "\"" : entry.name) + " " + entry.comment;
}

std::vector<std::string_view> CommentFileLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(kLineBreakBytes);
        const std::string_view line = TrimBlanks(text.substr(0, end));
        if (!line.empty()) lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string SingleLineComment(std::string_view comment)
{
    std::string single;
    single.reserve(comment.size());
    for (std::size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') ++i;
        single += kLineBreakBytes.find(comment[i]) == std::string_view::npos ? comment[i] : ' ';
    }
    return std::string(TrimBlanks(single));
}

std::string RewriteCommentFile(std::string_view oldText, std::string_view name, std::string_view comment,
                               const TextRules& rules)
{
    const std::string key = rules.UpperAnsi(name);
    std::string text;
    for (const std::string_view line : CommentFileLines(oldText)) {
        const CommentEntry entry = SplitCommentLine(line);
        if (rules.UpperAnsi(entry.name) == key) continue;
        text += FormatCommentLine(entry) + "\r\n";
    }
    const std::string single = SingleLineComment(comment);
    if (!single.empty()) text += FormatCommentLine({std::string(name), single}) + "\r\n";
    return text;
}

std::string CommentFilePath(std::string_view libraryPath)
{
    return std::string(libraryPath.substr(0, FolderPartLength(libraryPath))) + std::string(kCommentFileName);
}

std::string LibraryFileName(std::string_view libraryPath)
{
    return std::string(libraryPath.substr(FolderPartLength(libraryPath)));
}

std::string ReadPluginComment(const FileSystem& files, const TextRules& rules, const std::string& libraryPath)
{
    const std::string commentFile = CommentFilePath(libraryPath);
    if (!files.FileExists(commentFile)) return std::string();
    const std::optional<std::string> text = files.ReadFile(commentFile);
    if (!text) return std::string();
    const std::string key = rules.UpperAnsi(LibraryFileName(libraryPath));
    for (const std::string_view line : CommentFileLines(*text)) {
        CommentEntry entry = SplitCommentLine(line);
        if (!entry.comment.empty() && rules.UpperAnsi(entry.name) == key) return std::move(entry.comment);
    }
    return std::string();
}

bool WritePluginComment(FileSystem& files, const TextRules& rules, const std::string& libraryPath,
                        std::string_view comment)
{
    const std::string commentFile = CommentFilePath(libraryPath);
    std::string oldText;
    if (files.FileExists(commentFile)) {
        std::optional<std::string> read = files.ReadFile(commentFile);
        if (!read) return false;
        oldText = std::move(*read);
    }
    const std::string newText = RewriteCommentFile(oldText, LibraryFileName(libraryPath), comment, rules);
    files.SetAttributes(commentFile, 0);
    if (newText.empty()) {
        // No file to delete is no failure; a file that stays would keep the removed entry.
        return files.RemoveFile(commentFile) || !files.FileExists(commentFile);
    }
    if (files.ReplaceContent(commentFile, newText) != WriteStatus::Ok) return false;
    return files.SetAttributes(commentFile, kFileAttributeHidden | kFileAttributeArchive);
}

}  // namespace pakvane
