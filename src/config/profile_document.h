#pragma once
// A profile (INI) file held as its exact bytes plus an index of its lines. Reads follow
// the Windows profile functions; edits change only the bytes they must, keep the file's
// encoding and line breaks, and never write back a character the ANSI code page lost.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace pakvane {

struct ProfileEntry {
    std::string key;
    std::string value;
    bool operator==(const ProfileEntry&) const = default;
};

// Section and key names as the profile functions take them: without surrounding blanks,
// compared ignoring the case of ASCII letters.
std::string_view TrimProfileName(std::string_view name);
std::string FoldProfileName(std::string_view name);

enum class TextEncoding { Ansi, Utf8Bom, Utf16LeBom };

class ProfileDocument {
public:
    // Larger texts are not profile files we can hold (offsets are 32-bit).
    static constexpr std::size_t kMaxBytes = 0x7FFFFFF0u;

    // A new, empty file: ANSI, CRLF line breaks.
    explicit ProfileDocument(const CodePage& codePage);
    // bytes must not exceed kMaxBytes (std::length_error otherwise).
    ProfileDocument(const CodePage& codePage, std::string bytes);

    const std::string& Bytes() const { return data_; }
    TextEncoding Encoding() const { return encoding_; }
    std::size_t LineCount() const { return lines_.size(); }
    // Whether an edit has changed the bytes since the document was made.
    bool Modified() const { return modified_; }
    // The line break given to new lines: the one the file uses most, CRLF on a tie or none.
    std::string_view NewLineBreak() const;

    bool HasSection(std::string_view section) const { return FindSection(section).has_value(); }
    // GetPrivateProfileStringA: nullopt when the section, the key or its '=' is absent.
    std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
    // The keys GetPrivateProfileStringA lists for the section (first section of the name),
    // each once (first occurrence, case ignored) with the value ReadString gives for it.
    std::vector<ProfileEntry> ReadSection(std::string_view section) const;

    // First occurrence of the key replaced in place, else a line appended to the section,
    // else the section appended at the end.
    WriteStatus WriteString(std::string_view section, std::string_view key, std::string_view value);
    // The first section of the name gets exactly these lines and later sections of the same
    // name are removed; no entries removes them all. A missing section is appended.
    WriteStatus ReplaceSection(std::string_view section, const std::vector<ProfileEntry>& entries);
    // The first section of the name gets these lines, followed by its own lines that
    // ReadSection does not list (comments, lines without '=', later lines of a listed name),
    // byte for byte in their order; blank lines among them go. A later line of a name that no
    // new line has gets a ';' before it, so that it stays without effect as it was. Later
    // sections of the same name stay as they are. The section goes only when nothing is left.
    WriteStatus RewriteSection(std::string_view section, const std::vector<ProfileEntry>& entries);

private:
    enum class LineKind : std::uint8_t { Blank, Header, Entry, Bare };
    struct Line {
        std::uint32_t begin = 0, end = 0, next = 0;  // content, content end, after the break
        std::uint32_t nameBegin = 0, nameEnd = 0;  // header name or key, cut at a NUL
        std::uint32_t valueBegin = 0, valueEnd = 0;  // trimmed value, cut at a NUL
        std::uint32_t textEnd = 0;  // end of the trimmed line
        LineKind kind = LineKind::Blank;
    };
    struct Span {
        std::size_t begin, end;
    };
    struct Edit {
        std::size_t begin, end;
        std::string bytes;
    };
    // Fields of a section that the ANSI code page cannot render exactly.
    struct LossyField {
        std::string rendering, original;
        bool ambiguous = false;  // several originals render the same
    };
    struct LossyLine {
        std::string key, value, original;  // renderings and the line as "key=value" in the file's bytes
        bool used = false;
    };
    struct LossContext {
        std::vector<LossyField> fields;
        std::vector<LossyLine> lines;
        // Each lost character as rendered, with the rest of its word (path component): text
        // that contains one was made from a lost character.
        std::vector<std::string> fragments;
    };

    void Index();
    template <std::size_t W>
    void IndexUnits();
    template <std::size_t W>
    Line ParseLine(std::size_t begin, std::size_t end) const;
    char16_t UnitAt(std::size_t offset) const;
    std::size_t UnitSize() const { return encoding_ == TextEncoding::Utf16LeBom ? 2 : 1; }

    bool IsAscii(Span span) const;
    std::u16string Wide(Span span) const;
    AnsiText Render(Span span) const;
    bool NameIs(Span span, std::string_view wanted) const;
    Span ReadValueSpan(const Line& line) const;

    std::optional<std::size_t> FindSection(std::string_view name, std::size_t from = 0) const;
    // ReadSection of the section at header; listedLines (when given) gets the line of each entry.
    std::vector<ProfileEntry> ListSection(std::size_t header, std::vector<std::size_t>* listedLines) const;
    WriteStatus PutSection(std::string_view section, const std::vector<ProfileEntry>& entries, bool keepUnlisted);
    std::size_t SectionEnd(std::size_t header) const;
    std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const;

    std::string Encode(std::string_view ansi) const;
    LossContext LossesOf(std::size_t header) const;
    std::optional<std::string> EncodeField(std::string_view ansi, const LossContext& losses) const;
    std::string Break() const;
    std::size_t OffsetOf(std::size_t line) const { return line < lines_.size() ? lines_[line].begin : data_.size(); }
    std::size_t LastFilledLine(std::size_t header) const;
    void AppendSection(std::string_view name, const std::vector<std::string>& lines);
    void Apply(std::vector<Edit> edits);

    const CodePage* codePage_;
    std::string data_;
    TextEncoding encoding_ = TextEncoding::Ansi;
    std::size_t bodyBegin_ = 0;
    std::vector<Line> lines_;
    std::size_t crlf_ = 0, lf_ = 0, cr_ = 0;
    bool modified_ = false;
};

}  // namespace pakvane
