// pakvane.exe as shipped: a static 32-bit GUI program with its resources inside.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pakvane_version.h"

namespace pakvane {
namespace {

std::string ProgramPath()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path(self);
    return path.substr(0, path.find_last_of('\\') + 1) + "pakvane.exe";
}

class ProgramFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << ProgramPath();
    }
    void TearDown() override
    {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(ProgramFile, CarriesTheButtonBitmapsManifestAndVersion)
{
    for (const char* name : {"OPEN", "APPEND", "PROP", "DEL", "SAVE", "CANCEL", "TOOLS", "AUTO"}) {
        HRSRC found = FindResourceA(module_, name, MAKEINTRESOURCEA(2));  // RT_BITMAP
        ASSERT_NE(found, nullptr) << name;
        // A 16 by 16 device-independent bitmap.
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, found)));
        ASSERT_NE(header, nullptr) << name;
        EXPECT_EQ(header->biWidth, 16) << name;
        EXPECT_EQ(std::abs(header->biHeight), 16) << name;
    }
    HRSRC manifest = FindResourceA(module_, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module_, manifest))),
                           SizeofResource(module_, manifest));
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("6.0.0.0"), std::string::npos);
    EXPECT_NE(text.find("dpiAware"), std::string::npos);
    EXPECT_NE(text.find("version=\"" PAKVANE_VERSION_TEXT ".0\""), std::string::npos) << "one version everywhere";
}

TEST_F(ProgramFile, VersionResourceNamesTheProgram)
{
    const std::string path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), static_cast<unsigned>(PAKVANE_VERSION_MAJOR));
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), static_cast<unsigned>(PAKVANE_VERSION_MINOR));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), static_cast<unsigned>(PAKVANE_VERSION_PATCH));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(ProgramFile, ImportsOnlySystemLibraries)
{
    // Walk the import directory of the file image: no MinGW runtime may be needed beside it.
    const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module_) & ~static_cast<ULONG_PTR>(3));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
#ifdef _WIN64
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
#else
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
#endif
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(imports.VirtualAddress, 0u);
    // A data-file mapping keeps the file layout: turn the relative address into a file offset.
    auto offsetOf = [&](DWORD rva) -> const BYTE* {
        const auto* section = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize)
                return base + section->PointerToRawData + (rva - section->VirtualAddress);
        return nullptr;
    };
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(offsetOf(imports.VirtualAddress));
    ASSERT_NE(entry, nullptr);
    std::vector<std::string> names;
    for (; entry->Name; ++entry) names.emplace_back(reinterpret_cast<const char*>(offsetOf(entry->Name)));
    EXPECT_FALSE(names.empty());
    for (std::string name : names) {
        for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(name.find("libstdc++"), std::string::npos) << name;
        EXPECT_EQ(name.find("libgcc"), std::string::npos) << name;
        EXPECT_EQ(name.find("winpthread"), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace pakvane
