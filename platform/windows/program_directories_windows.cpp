#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/program_directories.h"

namespace keydeck {

bool UnixInstalledLayoutAllowed() {
    return false;
}

std::filesystem::path ExecutableDirectory() {
    std::wstring buffer(520, L'\0');
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::filesystem::current_path();
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::filesystem::path(buffer).parent_path();
}

}  // namespace keydeck
