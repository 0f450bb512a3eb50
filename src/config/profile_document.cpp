#include "config/profile_document.h"

#include <stdexcept>

namespace pakvane {

namespace {

// The profile functions trim these (tab to CR, Ctrl-Z, space), nothing else.
bool IsBlank(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}
bool IsBreak(char16_t c)
{
    return c == '\r' || c == '\n';
}

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

}  // namespace

std::string_view TrimProfileName(std::string_view text)
{
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && IsBlank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string FoldProfileName(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded) c = FoldAscii(c);
    return folded;
}

ProfileDocument::ProfileDocument(const CodePage& codePage) : codePage_(&codePage) {}

ProfileDocument::ProfileDocument(const CodePage& codePage, std::string bytes)
    : codePage_(&codePage),
      data_(std::move(bytes))
{
    if (data_.size() > kMaxBytes) throw std::length_error("profile file too large");
    Index();
}

void ProfileDocument::Index()
{
    lines_.clear();
    crlf_ = lf_ = cr_ = 0;
    // Text without a byte order mark is ANSI.
    encoding_ = TextEncoding::Ansi;
    bodyBegin_ = 0;
    if (data_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding_ = TextEncoding::Utf8Bom;
        bodyBegin_ = 3;
    } else if (data_.compare(0, 2, "\xFF\xFE") == 0) {
        encoding_ = TextEncoding::Utf16LeBom;
        bodyBegin_ = 2;
    }
    if (encoding_ == TextEncoding::Utf16LeBom)
        IndexUnits<2>();
    else
        IndexUnits<1>();
}

char16_t ProfileDocument::UnitAt(std::size_t offset) const
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data_[i]); };
    if (encoding_ != TextEncoding::Utf16LeBom) return byte(offset);
    const unsigned high = offset + 1 < data_.size() ? byte(offset + 1) : 0;  // an odd last byte reads as a unit
    return static_cast<char16_t>(byte(offset) | (high << 8));
}

// Lines end at CR, LF or CRLF, as the profile functions split them. An odd last byte of a
// UTF-16 file is a unit of its own; offsets may then reach one past the end.
template <std::size_t W>
void ProfileDocument::IndexUnits()
{
    const std::size_t size = data_.size();
    const std::size_t whole = size + (size - bodyBegin_) % W;
    // Room for every line at once: growing the index step by step copies it again and
    // again on large files. Exact for a file with one kind of line break; mixed breaks
    // merely let it grow later.
    std::size_t crs = 0, lfs = 0;
    for (std::size_t i = bodyBegin_; i < size; i += W) {
        crs += data_[i] == '\r';
        lfs += data_[i] == '\n';
    }
    lines_.reserve((crs > lfs ? crs : lfs) + 1);
    std::size_t pos = bodyBegin_;
    while (pos < whole) {
        std::size_t i = pos;
        while (i < whole && !IsBreak(UnitAt(i))) i += W;
        Line line = ParseLine<W>(pos, i);
        line.begin = static_cast<std::uint32_t>(pos);
        if (i < whole) {
            std::size_t next = i + W;
            if (UnitAt(i) == '\r' && next < whole && UnitAt(next) == '\n')
                next += W, ++crlf_;
            else if (UnitAt(i) == '\r')
                ++cr_;
            else
                ++lf_;
            line.end = static_cast<std::uint32_t>(i);
            line.next = static_cast<std::uint32_t>(next);
        } else {
            line.end = line.next = static_cast<std::uint32_t>(whole);
        }
        lines_.push_back(line);
        pos = line.next;
    }
}

template <std::size_t W>
ProfileDocument::Line ProfileDocument::ParseLine(std::size_t b, std::size_t e) const
{
    const auto cutAtNul = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; i += W)
            if (UnitAt(i) == 0) return i;
        return to;
    };
    const auto u32 = [](std::size_t v) { return static_cast<std::uint32_t>(v); };
    Line line;
    while (b < e && IsBlank(UnitAt(b))) b += W;
    while (e > b && IsBlank(UnitAt(e - W))) e -= W;
    line.textEnd = u32(e);
    if (b == e) return line;

    if (UnitAt(b) == '[') {
        std::size_t close = e;
        while (close > b + W && UnitAt(close - W) != ']') close -= W;
        if (close > b + W) {
            std::size_t nb = b + W, ne = close - W;
            while (nb < ne && IsBlank(UnitAt(nb))) nb += W;
            while (ne > nb && IsBlank(UnitAt(ne - W))) ne -= W;
            line.kind = LineKind::Header;
            line.nameBegin = u32(nb);
            line.nameEnd = u32(cutAtNul(nb, ne));
            return line;
        }
    }
    std::size_t eq = b;
    while (eq < e && UnitAt(eq) != '=') eq += W;
    line.nameBegin = u32(b);
    if (eq == e) {
        line.kind = LineKind::Bare;
        line.nameEnd = u32(cutAtNul(b, e));
        line.valueBegin = line.valueEnd = u32(e);
        return line;
    }
    std::size_t ne = eq, vb = eq + W;
    while (ne > b && IsBlank(UnitAt(ne - W))) ne -= W;
    while (vb < e && IsBlank(UnitAt(vb))) vb += W;
    line.kind = LineKind::Entry;
    line.nameEnd = u32(cutAtNul(b, ne));
    line.valueBegin = u32(vb);
    line.valueEnd = u32(cutAtNul(vb, e));
    return line;
}

std::string_view ProfileDocument::NewLineBreak() const
{
    if (lf_ > crlf_ && lf_ >= cr_) return "\n";
    if (cr_ > crlf_ && cr_ > lf_) return "\r";
    return "\r\n";
}

bool ProfileDocument::IsAscii(Span span) const
{
    if (encoding_ == TextEncoding::Ansi) return true;  // taken byte for byte
    for (std::size_t i = span.begin; i < span.end; i += UnitSize())
        if (UnitAt(i) >= 0x80) return false;
    return true;
}

std::u16string ProfileDocument::Wide(Span span) const
{
    switch (encoding_) {
    case TextEncoding::Ansi:
        return codePage_->AnsiToWide(std::string_view(data_).substr(span.begin, span.end - span.begin));
    case TextEncoding::Utf8Bom:
        return codePage_->Utf8ToWide(std::string_view(data_).substr(span.begin, span.end - span.begin));
    case TextEncoding::Utf16LeBom:
        break;
    }
    std::u16string wide;
    wide.reserve((span.end - span.begin) / 2);
    for (std::size_t i = span.begin; i < span.end; i += 2) wide.push_back(UnitAt(i));
    return wide;
}

AnsiText ProfileDocument::Render(Span span) const
{
    if (!IsAscii(span)) return codePage_->WideToAnsi(Wide(span));
    if (encoding_ != TextEncoding::Utf16LeBom) return {data_.substr(span.begin, span.end - span.begin), true};
    std::string text;
    text.reserve((span.end - span.begin) / 2);
    for (std::size_t i = span.begin; i < span.end; i += 2) text.push_back(static_cast<char>(UnitAt(i)));
    return {std::move(text), true};
}

// A name with characters the code page lost equals no ANSI name, as the profile functions
// compare in Unicode.
bool ProfileDocument::NameIs(Span span, std::string_view wanted) const
{
    if (!IsAscii(span)) {
        const AnsiText name = Render(span);
        return name.exact && EqualIgnoringAsciiCase(name.text, wanted);
    }
    const std::size_t w = UnitSize();
    if ((span.end - span.begin) / w != wanted.size()) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (FoldAscii(static_cast<char>(UnitAt(span.begin + i * w))) != FoldAscii(wanted[i])) return false;
    return true;
}

// A value in one matched pair of quotes is read without them.
ProfileDocument::Span ProfileDocument::ReadValueSpan(const Line& line) const
{
    Span span{line.valueBegin, line.valueEnd};
    const std::size_t w = UnitSize();
    if (span.end - span.begin >= 2 * w) {
        const char16_t first = UnitAt(span.begin);
        if ((first == '"' || first == '\'') && UnitAt(span.end - w) == first) span.begin += w, span.end -= w;
    }
    return span;
}

std::optional<std::size_t> ProfileDocument::FindSection(std::string_view name, std::size_t from) const
{
    name = TrimProfileName(name);
    if (name.empty()) return std::nullopt;
    for (std::size_t i = from; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Header && NameIs({line.nameBegin, line.nameEnd}, name)) return i;
    }
    return std::nullopt;
}

std::size_t ProfileDocument::SectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Header) ++i;
    return i;
}

// Any line with a name counts, '=' or not: a bare "key" line hides a later "key=value".
std::optional<std::size_t> ProfileDocument::FindKey(std::size_t header, std::string_view key) const
{
    key = TrimProfileName(key);
    if (key.empty()) return std::nullopt;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if ((line.kind == LineKind::Entry || line.kind == LineKind::Bare) &&
            NameIs({line.nameBegin, line.nameEnd}, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::ReadString(std::string_view section, std::string_view key) const
{
    const auto header = FindSection(section);
    if (!header) return std::nullopt;
    const auto found = FindKey(*header, key);
    if (!found || lines_[*found].kind != LineKind::Entry) return std::nullopt;
    return Render(ReadValueSpan(lines_[*found])).text;
}

std::vector<ProfileEntry> ProfileDocument::ReadSection(std::string_view section) const
{
    const auto header = FindSection(section);
    return header ? ListSection(*header, nullptr) : std::vector<ProfileEntry>();
}

std::vector<ProfileEntry> ProfileDocument::ListSection(std::size_t header, std::vector<std::size_t>* listedLines) const
{
    std::vector<ProfileEntry> entries;
    const std::size_t end = SectionEnd(header);

    // The first line of each name gives the value, as a lookup by that name would; the
    // listed names are the lines with '=' and a name that is not a ';' comment. Names are
    // matched by their folded form, kept one after another in one buffer and found through
    // an open-addressing table: a map node and a string per line made long sections slow.
    struct Name {
        std::size_t keyBegin, keyEnd;  // in keys
        std::size_t firstLine;
        bool listed;
    };
    std::string keys;
    std::vector<Name> names;
    names.reserve(end - header);
    entries.reserve(end - header);
    std::size_t slots = 16;
    while (slots < 2 * (end - header)) slots *= 2;
    constexpr std::size_t kFree = static_cast<std::size_t>(-1);
    std::vector<std::size_t> table(slots, kFree);
    const auto keyOf = [&](const Name& name) {
        return std::string_view(keys).substr(name.keyBegin, name.keyEnd - name.keyBegin);
    };

    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind != LineKind::Entry && line.kind != LineKind::Bare) continue;
        const Span span{line.nameBegin, line.nameEnd};
        AnsiText rendered = Render(span);
        std::string name = std::move(rendered.text);
        // Lossy names are told apart by their own characters, not by their rendering.
        const std::size_t keyBegin = keys.size();
        if (rendered.exact) {
            for (const char c : name) keys.push_back(FoldAscii(c));
        } else {
            keys.push_back('\x01');
            keys.append(data_, span.begin, span.end - span.begin);
        }
        const std::string_view key = std::string_view(keys).substr(keyBegin);
        std::uint32_t hash = 2166136261u;  // FNV-1a
        for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        std::size_t slot = hash & (slots - 1);
        while (table[slot] != kFree && keyOf(names[table[slot]]) != key) slot = (slot + 1) & (slots - 1);
        if (table[slot] == kFree) {
            table[slot] = names.size();
            names.push_back({keyBegin, keys.size(), i, false});
        } else {
            keys.resize(keyBegin);
        }
        Name& found = names[table[slot]];
        if (line.kind != LineKind::Entry || name.empty() || name[0] == ';' || found.listed) continue;
        found.listed = true;
        if (listedLines) listedLines->push_back(i);
        const Line& first = lines_[found.firstLine];
        entries.push_back(
            {std::move(name), first.kind == LineKind::Entry ? Render(ReadValueSpan(first)).text : std::string()});
    }
    return entries;
}

}  // namespace pakvane
