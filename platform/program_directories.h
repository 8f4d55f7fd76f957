#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace keydeck {

// Where the program finds its files. Portable (Windows, a build tree, a
// portable install): all three are the executable's directory. Installed on
// Linux: read-only resources under <prefix>/share/keydeck, the stores in the
// user's configuration directory.
struct ProgramDirectories {
    std::filesystem::path resources;  // holds "uires"
    std::filesystem::path settings;   // holds "config.xml"
    std::filesystem::path stores;     // holds the four store files

    std::filesystem::path SettingsFile() const { return settings / "config.xml"; }
    std::filesystem::path StoreFile(const char* name) const { return stores / name; }
};

using EnvLookup = std::function<std::optional<std::string>(const char* name)>;

// The rule itself, without touching the process: `exeDir` is the executable's
// directory; `unixInstalled` asks for the Linux installed layout when the
// executable's directory holds no "uires".
ProgramDirectories ResolveProgramDirectories(const std::filesystem::path& exeDir,
                                             bool unixInstalledLayoutAllowed,
                                             const EnvLookup& env);

// The directory of the running executable (platform backend).
std::filesystem::path ExecutableDirectory();

// The process's directories, resolved once on first use. Tests may override.
const ProgramDirectories& GetProgramDirectories();
void SetProgramDirectoriesForTesting(const ProgramDirectories& dirs);

}  // namespace keydeck
