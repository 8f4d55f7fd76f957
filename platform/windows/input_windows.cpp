#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
#undef interface

#include <string>

#include "platform/key_injector.h"
#include "platform/keyboard_hook_platform.h"
#include "platform/program_launcher.h"
#include "platform/text.h"
#include "platform/workstation.h"

namespace keydeck {
namespace {

// The system calls the hook procedure without user data, so the one installed
// hook keeps its handle and sink here.
HHOOK gHook = nullptr;
KeyboardHookSink* gSink = nullptr;

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam);
    if (gSink && record) {
        KeyboardHookEvent event;
        event.vkCode = record->vkCode;
        event.scanCode = record->scanCode;
        event.flags = record->flags;
        event.time = record->time;
        event.extraInfo = static_cast<std::uintptr_t>(record->dwExtraInfo);
        auto message = static_cast<std::uint32_t>(wParam);
        int hookCode = code;
        if ((*gSink)(hookCode, message, event)) return 1;
        record->vkCode = event.vkCode;
        record->scanCode = event.scanCode;
        record->flags = event.flags;
        record->time = event.time;
        record->dwExtraInfo = static_cast<ULONG_PTR>(event.extraInfo);
        return CallNextHookEx(gHook, hookCode, static_cast<WPARAM>(message), lParam);
    }
    return CallNextHookEx(gHook, code, wParam, lParam);
}

class WindowsKeyboardHook final : public ISystemKeyboardHook {
public:
    ~WindowsKeyboardHook() override {
        if (installed_) {
            UnhookWindowsHookEx(gHook);
            gHook = nullptr;
            gSink = nullptr;
        }
    }
    bool Install(KeyboardHookSink sink) override {
        if (installed_) return true;
        if (gHook) return false;  // another object holds the one hook
        sink_ = std::move(sink);
        gSink = &sink_;
        gHook =
            SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, GetModuleHandleW(nullptr), 0);
        installed_ = gHook != nullptr;
        if (!installed_) gSink = nullptr;
        return installed_;
    }
    bool IsInstalled() const override { return installed_; }

private:
    KeyboardHookSink sink_;
    bool installed_ = false;
};

class WindowsKeyInjector final : public IKeyInjector {
public:
    std::uint32_t VirtualKeyToScanCode(std::uint32_t vk) override {
        return MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    }
    void SendKeyEvent(std::uint8_t vk, std::uint8_t scanCode, std::uint32_t flags,
                      std::uintptr_t extraInfo) override {
        keybd_event(vk, scanCode, flags, static_cast<ULONG_PTR>(extraInfo));
    }
};

class WindowsProgramLauncher final : public IProgramLauncher {
public:
    bool Open(const std::string& path, const std::string& arguments) override {
        const std::wstring file = PathFromUtf8(path).wstring();
        const std::wstring params = PathFromUtf8(arguments).wstring();
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", file.empty() ? nullptr : file.c_str(),
                          params.empty() ? nullptr : params.c_str(), nullptr, SW_SHOWNORMAL));
        return result > 32;
    }
};

class WindowsWorkstation final : public IWorkstation {
public:
    bool Lock() override { return LockWorkStation() != FALSE; }
};

}  // namespace

std::unique_ptr<ISystemKeyboardHook> CreateSystemKeyboardHook(IDispatcher&) {
    return std::make_unique<WindowsKeyboardHook>();
}
std::unique_ptr<IKeyInjector> CreateKeyInjector() {
    return std::make_unique<WindowsKeyInjector>();
}
std::unique_ptr<IProgramLauncher> CreateProgramLauncher() {
    return std::make_unique<WindowsProgramLauncher>();
}
std::unique_ptr<IWorkstation> CreateWorkstation() {
    return std::make_unique<WindowsWorkstation>();
}

}  // namespace keydeck
