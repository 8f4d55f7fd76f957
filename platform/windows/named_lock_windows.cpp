#include "platform/named_lock.h"
#include "platform/windows/wide_text.h"

#include <windows.h>

#include <string>

namespace keydeck {

// A named mutex without a namespace prefix: local to the user's logon.
// Mutexes are recursive for their owning thread by nature.
class NamedLock::Impl {
public:
    explicit Impl(const std::string& name) {
        const std::wstring wide = WideFromUtf8(name);
        handle_ = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, wide.c_str());
        if (handle_ == nullptr) {
            handle_ = CreateMutexW(nullptr, TRUE, wide.c_str());
            if (handle_ == nullptr) return;
            // Another thread created it between our open and create: we do
            // not own it yet.
            if (GetLastError() != ERROR_ALREADY_EXISTS) {
                held_ = true;
                return;
            }
        }
        const DWORD wait = WaitForSingleObject(handle_, INFINITE);
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }

    ~Impl() {
        if (handle_ == nullptr) return;
        if (held_) ReleaseMutex(handle_);
        CloseHandle(handle_);
    }

    bool held() const { return held_; }

private:
    HANDLE handle_ = nullptr;
    bool held_ = false;
};

NamedLock::NamedLock(const std::string& name) : impl_(std::make_unique<Impl>(name)) {}
NamedLock::~NamedLock() = default;
bool NamedLock::Held() const {
    return impl_->held();
}

}  // namespace keydeck
