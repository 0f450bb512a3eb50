#pragma once
// Finding the configuration file and the commander folder at start-up.
#include <functional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/registry.h"

namespace pakvane {

inline constexpr char kCommanderRegistryKey[] = "Software\\Ghisler\\Total Commander";

struct LocateResult {
    enum class Outcome { Loaded, ArgumentFailed, NoneFound };
    Outcome outcome = Outcome::NoneFound;
    std::string path;  // the file that loaded, or the argument that failed
};

// Tries the candidates in order and stops at the first that `load` accepts: argument 1
// alone when there is one; otherwise the remembered file, the registry's IniFileName
// below HKLM then HKCU, and the Windows folder's WinCmd.ini. Later candidates are
// looked up only when the earlier ones fail.
LocateResult LocateConfigurationFile(const std::vector<std::string>& arguments, const std::string& rememberedFile,
                                     const Registry& registry, const Environment& environment,
                                     const std::function<bool(const std::string&)>& load);

// COMMANDER_PATH when it holds 1 to 259 characters; empty otherwise.
std::string ReadCommanderPathVariable(const Environment& environment);

// The commander folder: the remembered one, replaced by argument 2 when given, else
// COMMANDER_PATH, else InstallDir below HKLM then HKCU; a non-empty result ends in "\".
std::string LocateCommanderFolder(const std::vector<std::string>& arguments, const std::string& rememberedFolder,
                                  const Registry& registry, const Environment& environment);

}  // namespace pakvane
