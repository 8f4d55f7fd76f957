#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/atomic_file.h"

namespace keydeck {

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const std::filesystem::path tmp =
        target.parent_path() /
        (L"." + target.filename().wstring() + L".tmp" + std::to_wstring(::GetCurrentProcessId()));
    HANDLE file = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        ok = ::WriteFile(file, bytes.data(), chunk, &written, nullptr) != 0 && written > 0;
        bytes.remove_prefix(written);
    }
    ok = ok && ::FlushFileBuffers(file) != 0;
    ::CloseHandle(file);
    if (!ok || !::MoveFileExW(tmp.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace keydeck
