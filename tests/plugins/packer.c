/* A packer plugin for the tests and the demo set-up: the exports of Total Commander's packer
   interface, each present unless the build leaves it out. Nothing here opens an archive. */
#include <windows.h>
#include <stdio.h>

#ifdef PLUGIN_NEEDS_DEPENDENCY
__declspec(dllimport) int DependencyCaps(void);
#endif

#ifdef PLUGIN_EXPORTS_BY_DEF
#define EXPORT /* the .def file names the exports */
#else
#define EXPORT __declspec(dllexport)
#endif

static HINSTANCE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
#ifdef PLUGIN_CRASH_IN_DLLMAIN
    if (reason == DLL_PROCESS_ATTACH) *(volatile int*)0 = 1;
#endif
    return TRUE;
}

EXPORT HANDLE __stdcall OpenArchive(void* archiveData)
{
    (void)archiveData;
    return NULL;
}
EXPORT int __stdcall ReadHeader(HANDLE archive, void* headerData)
{
    (void)archive;
    (void)headerData;
    return 10;
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

#ifndef PLUGIN_WITHOUT_SET_PROCESS_DATA
EXPORT void __stdcall SetProcessDataProc(HANDLE archive, void* proc)
{
    (void)archive;
    (void)proc;
}
#endif

#ifdef PLUGIN_CAPS
EXPORT int __stdcall GetPackerCaps(void)
{
#ifdef PLUGIN_CRASH_IN_CAPS
    *(volatile int*)0 = 1;
#endif
#ifdef PLUGIN_HANG_IN_CAPS
    Sleep(INFINITE);
#endif
#ifdef PLUGIN_NEEDS_DEPENDENCY
    return DependencyCaps();
#else
    return PLUGIN_CAPS;
#endif
}
#endif

#ifdef PLUGIN_CONFIGURE
/* Proves how it was called: "configured.txt" beside the library gets the parent window,
   the module handle it was given and its own module handle, in hexadecimal, then whether the
   parent was enabled during the call and the parent's text as the parent's own thread gives
   it (so its owner must be answering messages meanwhile), "-" when it did not answer. */
EXPORT void __stdcall ConfigurePacker(HWND parent, HINSTANCE module)
{
    char path[MAX_PATH + 32];
    char text[64] = "-";
    DWORD_PTR copied = 0;
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    FILE* log;
#ifdef PLUGIN_CRASH_IN_CONFIGURE
    *(volatile int*)0 = 1;
#endif
#ifdef PLUGIN_HANG_IN_CONFIGURE
    Sleep(INFINITE);
#endif
    if (!SendMessageTimeoutA(parent, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 5000, &copied)) {
        lstrcpyA(text, "-");
    }
    while (length > 0 && path[length - 1] != '\\') --length;
    lstrcpyA(path + length, "configured.txt");
    log = fopen(path, "wb");
    if (!log) return;
    fprintf(log, "%08lX %08lX %08lX %d %s", (unsigned long)(UINT_PTR)parent, (unsigned long)(UINT_PTR)module,
            (unsigned long)(UINT_PTR)self, IsWindowEnabled(parent) ? 1 : 0, text);
    fclose(log);
}
#endif

#ifdef PLUGIN_DEMO_CONFIGURE
/* The demo set-up's plugins: a configuration window titled with the library's file name. */
EXPORT void __stdcall ConfigurePacker(HWND parent, HINSTANCE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = "This plugin";
    DWORD i;
    if (length > 0 && length < MAX_PATH) {
        name = path;
        for (i = 0; i < length; ++i)
            if (path[i] == '\\') name = path + i + 1;
    }
    MessageBoxA(parent, "A demo plugin: it has no settings of its own.", name, MB_OK | MB_ICONINFORMATION);
}
#endif
