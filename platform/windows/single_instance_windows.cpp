#include <windows.h>

#include "platform/single_instance.h"
#include "platform/text.h"

namespace keydeck {
namespace {

class WindowsSingleInstance final : public SingleInstance {
public:
    explicit WindowsSingleInstance(const std::string& name) : name_(PathFromUtf8(name).wstring()) {
        mutex_ = ::CreateMutexW(nullptr, TRUE, name_.c_str());
        first_ = mutex_ != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS;
    }

    ~WindowsSingleInstance() override {
        UnmarkWindow();
        if (mutex_ != nullptr) ::CloseHandle(mutex_);
    }

    bool IsFirst() const override { return first_; }

    // Every top-level window that carries the instance property is brought
    // forward; the walk does not stop at the first.
    bool BringFirstForward(std::chrono::milliseconds /*timeout*/) override {
        bool found = false;
        for (HWND window = ::GetWindow(::GetDesktopWindow(), GW_CHILD);
             window != nullptr && ::IsWindow(window); window = ::GetWindow(window, GW_HWNDNEXT)) {
            if (::GetPropW(window, name_.c_str()) == nullptr) continue;
            found = true;
            if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
            if (!::IsWindowVisible(window)) ::ShowWindow(window, SW_SHOW);
            ::SetForegroundWindow(window);
        }
        return found;
    }

    // The later start finds the window itself; nothing to listen for.
    void OnShowRequest(std::function<void()> /*onShow*/) override {}

    void MarkWindow(std::uintptr_t nativeWindow) override {
        UnmarkWindow();
        window_ = reinterpret_cast<HWND>(nativeWindow);
        if (window_ != nullptr) ::SetPropW(window_, name_.c_str(), reinterpret_cast<HANDLE>(1));
    }

    void UnmarkWindow() override {
        if (window_ != nullptr && ::IsWindow(window_)) ::RemovePropW(window_, name_.c_str());
        window_ = nullptr;
    }

private:
    std::wstring name_;
    HANDLE mutex_ = nullptr;
    HWND window_ = nullptr;
    bool first_ = false;
};

}  // namespace

std::unique_ptr<SingleInstance> ClaimSingleInstance(const std::string& name) {
    return std::make_unique<WindowsSingleInstance>(name);
}

}  // namespace keydeck
