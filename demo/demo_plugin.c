/* A packer plugin for the demo set-up: the exports Total Commander's packer interface
   requires, the capability flags the build gives it, and a configuration window titled with
   the library's file name. It opens no archive. */
#include <windows.h>

#define EXPORT __declspec(dllexport)

EXPORT HANDLE __stdcall OpenArchive(void* archiveData)
{
    (void)archiveData;
    return NULL;
}
EXPORT int __stdcall ReadHeader(HANDLE archive, void* headerData)
{
    (void)archive;
    (void)headerData;
    return 10; /* end of archive */
}
EXPORT int __stdcall ProcessFile(HANDLE archive, int operation, char* destPath, char* destName)
{
    (void)archive;
    (void)operation;
    (void)destPath;
    (void)destName;
    return 0;
}
EXPORT int __stdcall CloseArchive(HANDLE archive)
{
    (void)archive;
    return 0;
}
EXPORT void __stdcall SetChangeVolProc(HANDLE archive, void* proc)
{
    (void)archive;
    (void)proc;
}
EXPORT void __stdcall SetProcessDataProc(HANDLE archive, void* proc)
{
    (void)archive;
    (void)proc;
}
EXPORT int __stdcall GetPackerCaps(void)
{
    return DEMO_CAPS;
}
EXPORT void __stdcall ConfigurePacker(HWND parent, HINSTANCE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = path;
    for (DWORD i = 0; i < length && i < MAX_PATH; ++i)
        if (path[i] == '\\') name = path + i + 1;
    if (length == 0 || length >= MAX_PATH) name = "This plugin";
    MessageBoxA(parent, "A demo plugin: it has no settings of its own.", name, MB_OK | MB_ICONINFORMATION);
}
