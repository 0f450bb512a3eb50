// Attributes and deletion for the real file layer; kept apart from the replacement logic.
#include <windows.h>

#include "platform/win32/file_system.h"

namespace pakvane {

bool Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes)
{
    return SetFileAttributesA(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool Win32FileSystem::RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != FALSE;
}

}  // namespace pakvane
