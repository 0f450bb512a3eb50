#pragma once
// One-line comments for plugin libraries, kept as Total Commander keeps file comments: in
// the descript.ion file of the library's folder, one entry per line (a file name, a
// separator, the comment). Text is 8-bit and passes through byte for byte.
#include <string>
#include <string_view>
#include <vector>

namespace pakvane {

class FileSystem;
class TextRules;

struct CommentEntry {
    std::string name;
    std::string comment;
    bool operator==(const CommentEntry&) const = default;
};

// Splits a trimmed, non-empty line. Quoted: the name between the first two quotes
// (trimmed; the rest of the line without a closing quote), the comment after the closing
// quote. Otherwise the name ends at the first space, or, when the line holds no space, at
// the first tab. Comments are trimmed.
CommentEntry SplitCommentLine(std::string_view line);

// The entry as it is written: the name (in quotes when it holds a space), one space, the comment.
std::string FormatCommentLine(const CommentEntry& entry);

// The trimmed, non-empty lines of a comment file. CR, LF and byte 26 each end a line, so
// files with lone LF line ends or with text after a Ctrl+Z lose none of their entries.
std::vector<std::string_view> CommentFileLines(std::string_view text);

// The comment as it is stored: each CR LF pair becomes one space, as does any other line
// break byte (CR, LF, 26) that would otherwise split the entry, then the text is trimmed.
std::string SingleLineComment(std::string_view comment);

// The new contents of a comment file for one library: every entry of that name (compared
// upper-cased in the ANSI code page) dropped, the others in written form, and the
// library's entry appended when comment is not empty; each line ends with CR LF. Empty
// when no entry is left.
std::string RewriteCommentFile(std::string_view oldText, std::string_view name, std::string_view comment,
                               const TextRules& rules);

// The comment file beside a library, and the library's file name.
std::string CommentFilePath(std::string_view libraryPath);
std::string LibraryFileName(std::string_view libraryPath);

// The first non-empty comment recorded for the library; empty when there is none or the
// file cannot be read.
std::string ReadPluginComment(const FileSystem& files, const TextRules& rules, const std::string& libraryPath);

// Records the comment (replacing every earlier entry for the library) or removes the entry
// when the comment is empty; the file is left hidden and archived, or deleted when no entry
// is left. False when the file was not written, and also when an existing comment file
// could not be read: rewriting it would lose the entries that were not read.
bool WritePluginComment(FileSystem& files, const TextRules& rules, const std::string& libraryPath,
                        std::string_view comment);

}  // namespace pakvane
