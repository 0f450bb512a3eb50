// Edits of a profile document: every byte outside the changed lines stays as it was.
#include <algorithm>
#include <set>
#include <stdexcept>

#include "config/profile_document.h"

namespace pakvane {

namespace {

// A line break or NUL inside a name or value would split or cut the line on reading.
bool FitsOnOneLine(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool IsStorableSection(std::string_view name)
{
    return !name.empty() && FitsOnOneLine(name);
}

// A key must read back as itself: no '=', and not taken for a header or a comment.
bool IsStorableKey(std::string_view key)
{
    return !key.empty() && FitsOnOneLine(key) && key.find('=') == std::string_view::npos && key[0] != '[' &&
           key[0] != ';';
}

// Separators of path components and of the parts of a value.
bool IsWordBreak(char c)
{
    return std::string_view("\\/,;=: \t\"|<>*").find(c) != std::string_view::npos;
}

bool IsAsciiText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string ProfileDocument::Encode(std::string_view ansi) const
{
    if (encoding_ == TextEncoding::Ansi) return std::string(ansi);
    if (encoding_ == TextEncoding::Utf8Bom)
        return IsAsciiText(ansi) ? std::string(ansi) : codePage_->WideToUtf8(codePage_->AnsiToWide(ansi));
    std::u16string wide;
    if (IsAsciiText(ansi))
        wide.assign(ansi.begin(), ansi.end());
    else
        wide = codePage_->AnsiToWide(ansi);
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (char16_t unit : wide) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string ProfileDocument::Break() const
{
    return Encode(NewLineBreak());
}

// Names and values of the section that the ANSI code page renders inexactly, with the
// bytes each lost character was rendered as.
ProfileDocument::LossContext ProfileDocument::LossesOf(std::size_t header) const
{
    LossContext losses;
    if (encoding_ == TextEncoding::Ansi) return losses;
    const auto note = [&](Span span) {
        if (IsAscii(span)) return false;
        AnsiText rendered = Render(span);
        if (rendered.exact) return false;
        std::string original = data_.substr(span.begin, span.end - span.begin);
        bool known = false;
        for (LossyField& field : losses.fields)
            if (field.rendering == rendered.text) {
                field.ambiguous = field.ambiguous || field.original != original;
                known = true;
            }
        if (!known) losses.fields.push_back({std::move(rendered.text), std::move(original)});
        // Render character by character to see where the losses fall.
        const std::u16string wide = Wide(span);
        std::string text;
        std::vector<std::pair<std::size_t, std::size_t>> lost;
        for (std::size_t i = 0; i < wide.size(); ++i) {
            const bool pair = wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                              wide[i + 1] < 0xE000;
            const std::size_t start = text.size();
            if (wide[i] < 0x80) {
                text.push_back(static_cast<char>(wide[i]));
                continue;
            }
            const AnsiText one = codePage_->WideToAnsi(std::u16string_view(wide).substr(i, pair ? 2 : 1));
            text += one.text;
            if (!one.exact) lost.emplace_back(start, text.size());
            if (pair) ++i;
        }
        for (auto [begin, end] : lost) {
            while (begin > 0 && !IsWordBreak(text[begin - 1])) --begin;
            while (end < text.size() && !IsWordBreak(text[end])) ++end;
            if (end > begin) losses.fragments.push_back(text.substr(begin, end - begin));
        }
        return true;
    };
    const std::size_t end = SectionEnd(header);
    note({lines_[header].nameBegin, lines_[header].nameEnd});
    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind != LineKind::Entry && line.kind != LineKind::Bare) continue;
        const Span name{line.nameBegin, line.nameEnd};
        const bool lossyName = note(name);
        if (line.kind != LineKind::Entry) continue;
        const Span value = ReadValueSpan(line);
        if (note(value) || lossyName)
            losses.lines.push_back({Render(name).text, Render(value).text,
                                    data_.substr(name.begin, name.end - name.begin) + Encode("=") +
                                        data_.substr(value.begin, value.end - value.begin)});
    }
    return losses;
}

// Text the caller read back unchanged gets its original characters; text that carries a
// character the code page lost cannot be stored.
std::optional<std::string> ProfileDocument::EncodeField(std::string_view ansi, const LossContext& losses) const
{
    for (const LossyField& field : losses.fields)
        if (field.rendering == ansi) {
            if (field.ambiguous) return std::nullopt;
            return field.original;
        }
    for (const std::string& fragment : losses.fragments)
        for (std::size_t at = ansi.find(fragment); at != std::string_view::npos; at = ansi.find(fragment, at + 1)) {
            const std::size_t end = at + fragment.size();
            if ((at == 0 || IsWordBreak(ansi[at - 1])) && (end == ansi.size() || IsWordBreak(ansi[end])))
                return std::nullopt;
        }
    return Encode(ansi);
}

std::size_t ProfileDocument::LastFilledLine(std::size_t header) const
{
    std::size_t last = header;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind != LineKind::Blank) last = i;
    return last;
}

// A new section goes at the end, after a blank line when the file has text.
void ProfileDocument::AppendSection(std::string_view name, const std::vector<std::string>& lines)
{
    const std::string brk = Break();
    std::string text;
    if (!lines_.empty()) {
        const Line& last = lines_.back();
        if (last.next == last.end) text += brk;
        if (last.kind != LineKind::Blank) text += brk;
    }
    text += Encode("[") + Encode(name) + Encode("]") + brk;
    for (const std::string& line : lines) text += line + brk;
    Apply({{data_.size(), data_.size(), std::move(text)}});
}

WriteStatus ProfileDocument::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    section = TrimProfileName(section);
    key = TrimProfileName(key);
    if (!IsStorableSection(section) || !IsStorableKey(key) || !FitsOnOneLine(value))
        return WriteStatus::Unrepresentable;
    const std::string equals = Encode("=");
    const auto header = FindSection(section);
    if (!header) {
        AppendSection(section, {Encode(key) + equals + Encode(value)});
        return WriteStatus::Ok;
    }
    const LossContext losses = LossesOf(*header);
    const auto nativeValue = EncodeField(value, losses);
    if (!nativeValue) return WriteStatus::Unrepresentable;
    if (const auto found = FindKey(*header, key)) {
        // The key, its spacing and whatever follows the value stay as they are.
        const Line& line = lines_[*found];
        if (line.kind == LineKind::Entry)
            Apply({{line.valueBegin, line.textEnd, *nativeValue}});
        else
            Apply({{line.textEnd, line.textEnd, equals + *nativeValue}});
        return WriteStatus::Ok;
    }
    const auto nativeKey = EncodeField(key, losses);
    if (!nativeKey) return WriteStatus::Unrepresentable;
    const Line& last = lines_[LastFilledLine(*header)];
    std::string text = last.next == last.end ? Break() : std::string();
    text += *nativeKey + equals + *nativeValue + Break();
    Apply({{last.next, last.next, std::move(text)}});
    return WriteStatus::Ok;
}

WriteStatus ProfileDocument::ReplaceSection(std::string_view section, const std::vector<ProfileEntry>& entries)
{
    return PutSection(section, entries, false);
}

WriteStatus ProfileDocument::RewriteSection(std::string_view section, const std::vector<ProfileEntry>& entries)
{
    return PutSection(section, entries, true);
}

WriteStatus ProfileDocument::PutSection(std::string_view section, const std::vector<ProfileEntry>& entries,
                                        bool keepUnlisted)
{
    section = TrimProfileName(section);
    if (!IsStorableSection(section)) return WriteStatus::Unrepresentable;
    for (const ProfileEntry& entry : entries)
        if (!IsStorableKey(TrimProfileName(entry.key)) || !FitsOnOneLine(entry.value))
            return WriteStatus::Unrepresentable;

    const auto header = FindSection(section);
    LossContext losses = header ? LossesOf(*header) : LossContext{};
    const std::string equals = Encode("=");
    std::vector<std::string> lines;
    lines.reserve(entries.size());
    for (const ProfileEntry& entry : entries) {
        // A row read from a line with lost characters goes back as that line's own text.
        const auto same = std::find_if(losses.lines.begin(), losses.lines.end(), [&](const LossyLine& line) {
            return !line.used && line.key == TrimProfileName(entry.key) && line.value == entry.value;
        });
        if (same != losses.lines.end()) {
            same->used = true;
            lines.push_back(same->original);
            continue;
        }
        const auto key = EncodeField(TrimProfileName(entry.key), losses);
        const auto value = EncodeField(entry.value, losses);
        if (!key || !value) return WriteStatus::Unrepresentable;
        lines.push_back(*key + equals + *value);
    }
    if (!header) {
        if (!lines.empty()) AppendSection(section, lines);
        return WriteStatus::Ok;
    }

    std::vector<Edit> edits;
    std::size_t end = SectionEnd(*header);
    if (keepUnlisted) {
        std::vector<std::size_t> listed;
        ListSection(*header, &listed);
        std::set<std::string> written;
        for (const ProfileEntry& entry : entries) written.insert(FoldProfileName(entry.key));
        std::size_t next = 0;  // listed lines come in file order
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (next < listed.size() && listed[next] == i) {
                ++next;
                continue;
            }
            const Line& line = lines_[i];
            if (line.kind == LineKind::Blank) continue;
            std::string kept = data_.substr(line.begin, line.end - line.begin);
            // A later line of a name was hidden by the first one. With no line of that name
            // left before it, it would come into force (a plugin the user switched off would
            // be back), so it stays as a comment instead.
            if (line.kind == LineKind::Entry) {
                const std::string name = Render({line.nameBegin, line.nameEnd}).text;
                if (!name.empty() && name[0] != ';' && !written.count(FoldProfileName(name)))
                    kept.insert(0, Encode(";"));
            }
            lines.push_back(std::move(kept));
        }
    }
    if (lines.empty()) {
        edits.push_back({lines_[*header].begin, OffsetOf(end), {}});
    } else {
        // The header line and the blank lines that close the section stay.
        const Line& head = lines_[*header];
        const Line& last = lines_[LastFilledLine(*header)];
        const bool endsWithoutBreak = last.next == last.end && last.end >= data_.size();
        const std::string brk = Break();
        std::string text = head.next == head.end ? brk : std::string();
        std::size_t size = text.size();
        for (const std::string& line : lines) size += line.size() + brk.size();
        text.reserve(size);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            text += lines[i];
            if (i + 1 < lines.size() || !endsWithoutBreak) text += brk;
        }
        edits.push_back({head.next, last.next, std::move(text)});
    }
    // Later sections of the same name are invisible to readers that take the first; they go,
    // so every reader sees the same lines (unless their lines are to be kept).
    for (auto dup = FindSection(section, end); dup && !keepUnlisted; dup = FindSection(section, end)) {
        end = SectionEnd(*dup);
        edits.push_back({lines_[*dup].begin, OffsetOf(end), {}});
    }
    Apply(std::move(edits));
    return WriteStatus::Ok;
}

void ProfileDocument::Apply(std::vector<Edit> edits)
{
    for (Edit& e : edits) e.begin = std::min(e.begin, data_.size()), e.end = std::min(e.end, data_.size());
    std::erase_if(edits, [&](const Edit& e) { return data_.compare(e.begin, e.end - e.begin, e.bytes) == 0; });
    if (edits.empty()) return;
    // An odd last byte of a UTF-16 file reads as a unit of its own; text added after it
    // must start on a unit boundary.
    if (encoding_ == TextEncoding::Utf16LeBom && (data_.size() - bodyBegin_) % 2 != 0)
        for (Edit& e : edits)
            if (e.begin == data_.size() && !e.bytes.empty()) e.bytes.insert(e.bytes.begin(), '\0');
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    std::size_t size = data_.size();
    for (const Edit& e : edits) size = size - (e.end - e.begin) + e.bytes.size();
    if (size > kMaxBytes) throw std::length_error("profile file too large");
    std::string out;
    out.reserve(size);
    std::size_t pos = 0;
    for (const Edit& e : edits) {
        out.append(data_, pos, e.begin - pos);
        out += e.bytes;
        pos = e.end;
    }
    out.append(data_, pos, std::string::npos);
    data_ = std::move(out);
    modified_ = true;
    Index();
}

}  // namespace pakvane
