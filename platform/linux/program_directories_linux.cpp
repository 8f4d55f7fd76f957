#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/program_directories.h"

namespace keydeck {

bool UnixInstalledLayoutAllowed() {
    return true;
}

std::filesystem::path ExecutableDirectory() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec);
    return exe.parent_path();
}

}  // namespace keydeck
