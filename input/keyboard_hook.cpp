#include "input/keyboard_hook.h"

#include <algorithm>
#include <utility>

namespace keydeck {

bool KeyboardHook::Install(std::unique_ptr<ISystemKeyboardHook> backend) {
    if (IsInstalled()) return true;
    if (!backend) return false;
    const bool installed =
        backend->Install([this](int& hookCode, std::uint32_t& message, KeyboardHookEvent& event) {
            return Proc(hookCode, message, event);
        });
    if (!installed) return false;
    backend_ = std::move(backend);
    return true;
}

void KeyboardHook::Shutdown() {
    listeners_.clear();
    backend_.reset();
}

bool KeyboardHook::IsInstalled() const {
    return backend_ && backend_->IsInstalled();
}

bool KeyboardHook::AddListener(IKeyboardHookListener* listener) {
    if (!IsInstalled() || !listener) return false;
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
        listeners_.push_back(listener);
    }
    return true;
}

bool KeyboardHook::RemoveListener(IKeyboardHookListener* listener) {
    if (!IsInstalled() || !listener) return false;
    std::erase(listeners_, listener);
    return true;
}

bool KeyboardHook::Proc(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event) {
    // By index: a listener may remove itself while it is being called.
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        if (listeners_[i]->OnHookEvent(hookCode, message, event)) return true;
    }
    return false;
}

KeyboardHook& GetKeyboardHook() {
    static KeyboardHook hook;
    return hook;
}

bool InstallKeyboardHook(std::unique_ptr<ISystemKeyboardHook> backend) {
    return GetKeyboardHook().Install(std::move(backend));
}
bool IsKeyboardHookInstalled() {
    return GetKeyboardHook().IsInstalled();
}
bool AddHookListener(IKeyboardHookListener* listener) {
    return GetKeyboardHook().AddListener(listener);
}
bool RemoveHookListener(IKeyboardHookListener* listener) {
    return GetKeyboardHook().RemoveListener(listener);
}
bool KeyboardHookProc(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event) {
    return GetKeyboardHook().Proc(hookCode, message, event);
}

}  // namespace keydeck

namespace keydeck {
void ShutdownKeyboardHook() {
    GetKeyboardHook().Shutdown();
}
}  // namespace keydeck
