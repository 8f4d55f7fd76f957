#include "platform/program_directories.h"

#include <cstdlib>
#include <mutex>
#include <system_error>

namespace keydeck {

bool UnixInstalledLayoutAllowed();  // per backend

ProgramDirectories ResolveProgramDirectories(const std::filesystem::path& exeDir,
                                             bool unixInstalledLayoutAllowed,
                                             const EnvLookup& env) {
    std::error_code ec;
    if (!unixInstalledLayoutAllowed || std::filesystem::is_directory(exeDir / "uires", ec)) {
        return {exeDir, exeDir, exeDir};
    }
    const std::filesystem::path share = exeDir.parent_path() / "share" / "keydeck";
    std::filesystem::path config;
    if (auto xdg = env("XDG_CONFIG_HOME"); xdg && std::filesystem::path(*xdg).is_absolute()) {
        config = std::filesystem::path(*xdg);
    } else if (auto home = env("HOME"); home && !home->empty()) {
        config = std::filesystem::path(*home) / ".config";
    } else {
        config = std::filesystem::temp_directory_path(ec);
    }
    const std::filesystem::path user = config / "keydeck";
    // A config.xml of the user's own takes precedence over the packaged one.
    const bool userSettings = std::filesystem::is_regular_file(user / "config.xml", ec);
    return {share, userSettings ? user : share, user};
}

namespace {
std::mutex g_dirsMutex;
std::optional<ProgramDirectories> g_dirs;
}  // namespace

const ProgramDirectories& GetProgramDirectories() {
    std::lock_guard lock(g_dirsMutex);
    if (!g_dirs) {
        g_dirs = ResolveProgramDirectories(ExecutableDirectory(), UnixInstalledLayoutAllowed(),
                                           [](const char* name) -> std::optional<std::string> {
                                               const char* v = std::getenv(name);
                                               if (!v) return std::nullopt;
                                               return std::string(v);
                                           });
        std::error_code ec;
        std::filesystem::create_directories(g_dirs->stores, ec);
    }
    return *g_dirs;
}

void SetProgramDirectoriesForTesting(const ProgramDirectories& dirs) {
    std::lock_guard lock(g_dirsMutex);
    g_dirs = dirs;
}

}  // namespace keydeck
