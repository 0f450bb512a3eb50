#pragma once
// A minimal PE image with one section holding an export directory and its name table, for
// tests that need a library's bytes without building one.
#include <cstdint>
#include <string>
#include <vector>

namespace pakvane::testing {

inline void PutLe(std::string& image, std::size_t at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) image[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct PeLayout {
    std::size_t optionalHeader = 0x58;
    std::size_t sectionHeader = 0;
    std::size_t exportDirectory = 0x200;  // file offset of the section's raw data
    std::size_t nameTable = 0x228;
};

inline std::string MakePeImage(std::uint16_t machine, const std::vector<std::string>& names, bool pe64 = false,
                               PeLayout* layout = nullptr)
{
    PeLayout at;
    const std::uint32_t optionalSize = pe64 ? 240 : 224;
    at.sectionHeader = at.optionalHeader + optionalSize;
    std::string strings;
    std::vector<std::uint32_t> nameRvas;
    const std::uint32_t stringsRva = 0x1000 + 40 + 4 * static_cast<std::uint32_t>(names.size());
    for (const std::string& name : names) {
        nameRvas.push_back(stringsRva + static_cast<std::uint32_t>(strings.size()));
        strings += name;
        strings += '\0';
    }
    const auto rawSize = static_cast<std::uint32_t>(40 + 4 * names.size() + strings.size());
    std::string image(0x200 + rawSize, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    PutLe(image, 0x3C, 0x40, 4);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    PutLe(image, 0x44, machine, 2);
    PutLe(image, 0x46, 1, 2);
    PutLe(image, 0x44 + 16, optionalSize, 2);
    PutLe(image, 0x44 + 18, 0x2102, 2);  // an executable 32-bit-word DLL
    PutLe(image, at.optionalHeader, pe64 ? 0x20B : 0x10B, 2);
    const std::size_t directories = at.optionalHeader + (pe64 ? 108 : 92);
    PutLe(image, directories, 16, 4);
    PutLe(image, directories + 4, 0x1000, 4);
    PutLe(image, directories + 8, rawSize, 4);
    image.replace(at.sectionHeader, 6, ".edata");
    PutLe(image, at.sectionHeader + 8, rawSize, 4);
    PutLe(image, at.sectionHeader + 12, 0x1000, 4);
    PutLe(image, at.sectionHeader + 16, rawSize, 4);
    PutLe(image, at.sectionHeader + 20, 0x200, 4);
    PutLe(image, at.exportDirectory + 24, static_cast<std::uint32_t>(names.size()), 4);
    PutLe(image, at.exportDirectory + 32, 0x1000 + 40, 4);
    for (std::size_t i = 0; i < nameRvas.size(); ++i) PutLe(image, at.nameTable + 4 * i, nameRvas[i], 4);
    image.replace(at.nameTable + 4 * names.size(), strings.size(), strings);
    if (layout) *layout = at;
    return image;
}

inline const std::vector<std::string> kPluginExports = {"CloseArchive",      "GetPackerCaps", "OpenArchive",
                                                        "ProcessFile",       "ReadHeader",    "SetChangeVolProc",
                                                        "SetProcessDataProc"};

}  // namespace pakvane::testing
