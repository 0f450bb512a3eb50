#include "platform/win32/plugin_loader.h"

#include <windows.h>

#include "plugins/pe_exports.h"

namespace pakvane {

namespace {

// The plugin interface's two called exports (stdcall).
using GetPackerCapsProc = int(__stdcall*)();
using ConfigurePackerProc = void(__stdcall*)(HWND parent, HINSTANCE module);

// A library loaded for one operation, released on every way out of it.
class LoadedModule {
public:
    explicit LoadedModule(const std::string& path) : module_(Load(path)), error_(module_ ? 0 : GetLastError()) {}
    ~LoadedModule()
    {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    HMODULE Get() const { return module_; }
    DWORD Error() const { return error_; }
    FARPROC Export(std::string_view name) const { return GetProcAddress(module_, std::string(name).c_str()); }

private:
    // The altered search order is defined for full paths only.
    static HMODULE Load(const std::string& path)
    {
        if (IsFullPluginPath(path)) return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        return LoadLibraryA(path.c_str());
    }

    HMODULE module_;
    DWORD error_;
};

}  // namespace

bool IsFullPluginPath(const std::string& path)
{
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool unc = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    return drive || unc;
}

PluginProbeResult InProcessPluginLoader::Probe(const std::string& path)
{
    PluginProbeResult result;
    const LoadedModule module(path);
    result.loaded = module.Get() != nullptr;
    result.loadError = module.Error();
    if (!result.loaded) return result;
    for (const std::string_view name : kRequiredPackerExports) {
        if (!module.Export(name)) {
            result.missingExport = std::string(name);
            return result;
        }
    }
    result.exportsComplete = true;
    if (const FARPROC caps = module.Export(kGetPackerCapsExport)) {
        result.hasPackerCaps = true;
        result.flags = reinterpret_cast<GetPackerCapsProc>(reinterpret_cast<void*>(caps))();
    }
    return result;
}

PluginConfigureResult InProcessPluginLoader::Configure(const std::string& path, ParentWindow parent)
{
    return Configure(path, parent, [](const PluginConfigureResult&) {});
}

bool InProcessPluginLoader::CanLoad(std::uint16_t peMachine) const
{
    return peMachine == kProgramMachine;
}

PluginConfigureResult InProcessPluginLoader::Configure(
    const std::string& path, ParentWindow parent, const std::function<void(const PluginConfigureResult&)>& beforeCall)
{
    PluginConfigureResult result;
    const LoadedModule module(path);
    result.loaded = module.Get() != nullptr;
    result.loadError = module.Error();
    const FARPROC configure = result.loaded ? module.Export(kConfigurePackerExport) : nullptr;
    result.hasConfigurePacker = configure != nullptr;
    beforeCall(result);
    if (configure) {
        reinterpret_cast<ConfigurePackerProc>(reinterpret_cast<void*>(configure))(reinterpret_cast<HWND>(parent),
                                                                                  module.Get());
    }
    return result;
}

}  // namespace pakvane
