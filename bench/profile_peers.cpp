#include "profile_peers.h"

#include <windows.h>

#include <cstring>

namespace pakvane::bench {

namespace {

// Splits "a\0b\0\0" into its strings.
SectionLines SplitNulList(const std::string& buffer, DWORD length)
{
    SectionLines lines;
    for (DWORD at = 0; at < length;) {
        const std::size_t size = std::strlen(buffer.data() + at);
        if (size == 0) break;
        lines.emplace_back(buffer.data() + at, size);
        at += static_cast<DWORD>(size) + 1;
    }
    return lines;
}

std::string JoinNulList(const SectionLines& lines)
{
    std::string joined;
    for (const std::string& line : lines) joined.append(line).push_back('\0');
    joined.push_back('\0');
    return joined;
}

}  // namespace

SectionLines ReadSectionWhole(const std::string& file, const char* section)
{
    std::string buffer(1u << 20, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetPrivateProfileSectionA(section, buffer.data(), size, file.c_str());
        if (length + 2 < size) return SplitNulList(buffer, length);
        buffer.assign(buffer.size() * 2, '\0');
    }
}

bool WriteSectionWhole(const std::string& file, const char* section, const SectionLines& lines)
{
    const std::string joined = JoinNulList(lines);
    return WritePrivateProfileSectionA(section, joined.data(), file.c_str()) != FALSE;
}

SectionLines ReadSectionKeyByKey(const std::string& file, const char* section)
{
    std::string keys(1u << 20, '\0');
    DWORD length = 0;
    for (;;) {
        const DWORD size = static_cast<DWORD>(keys.size());
        length = GetPrivateProfileStringA(section, nullptr, "", keys.data(), size, file.c_str());
        if (length + 2 < size) break;
        keys.assign(keys.size() * 2, '\0');
    }
    SectionLines lines;
    char value[2048];
    for (const std::string& key : SplitNulList(keys, length)) {
        const DWORD valueLength = GetPrivateProfileStringA(section, key.c_str(), "", value, sizeof value, file.c_str());
        lines.push_back(key + "=" + std::string(value, valueLength));
    }
    return lines;
}

bool WriteSectionKeyByKey(const std::string& file, const char* section, const SectionLines& lines)
{
    bool ok = WritePrivateProfileStringA(section, nullptr, nullptr, file.c_str()) != FALSE;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        ok = WritePrivateProfileStringA(section, key.c_str(), value.c_str(), file.c_str()) != FALSE && ok;
    }
    return ok;
}

}  // namespace pakvane::bench
