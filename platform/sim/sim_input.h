#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/key_injector.h"
#include "platform/keyboard_hook_platform.h"
#include "platform/program_launcher.h"
#include "platform/workstation.h"

namespace keydeck {

// Scripted host input for tests and the demo: the test is the UI thread and
// types through Feed; what KeyDeck produces is recorded.
class SimKeyboardHook final : public ISystemKeyboardHook {
public:
    struct Passed {
        int hookCode;
        std::uint32_t message;
        KeyboardHookEvent event;
    };

    explicit SimKeyboardHook(bool installSucceeds = true) : installSucceeds_(installSucceeds) {}
    bool Install(KeyboardHookSink sink) override;
    bool IsInstalled() const override { return static_cast<bool>(sink_); }

    // Delivers one event; true when it was swallowed. Events that pass are kept,
    // with the values the listeners left.
    bool Feed(std::uint32_t message, KeyboardHookEvent event, int hookCode = 0);
    const std::vector<Passed>& passed() const { return passed_; }

private:
    bool installSucceeds_;
    KeyboardHookSink sink_;
    std::vector<Passed> passed_;
};

class SimKeyInjector final : public IKeyInjector {
public:
    struct Sent {
        std::uint8_t vk;
        std::uint8_t scanCode;
        std::uint32_t flags;
        std::uintptr_t extraInfo;
        std::chrono::steady_clock::time_point at;
        friend bool operator==(const Sent& a, const Sent& b) {
            return a.vk == b.vk && a.scanCode == b.scanCode && a.flags == b.flags &&
                   a.extraInfo == b.extraInfo;
        }
    };

    // Scan codes that VirtualKeyToScanCode reports; others give 0.
    explicit SimKeyInjector(std::map<std::uint32_t, std::uint32_t> scanCodes = {})
        : scanCodes_(std::move(scanCodes)) {}
    std::uint32_t VirtualKeyToScanCode(std::uint32_t vk) override;
    void SendKeyEvent(std::uint8_t vk, std::uint8_t scanCode, std::uint32_t flags,
                      std::uintptr_t extraInfo) override;
    std::vector<Sent> sent() const;
    void Clear();

private:
    std::map<std::uint32_t, std::uint32_t> scanCodes_;
    mutable std::mutex mutex_;
    std::vector<Sent> sent_;
};

class SimProgramLauncher final : public IProgramLauncher {
public:
    struct Started {
        std::string path;
        std::string arguments;
        friend bool operator==(const Started&, const Started&) = default;
    };
    bool Open(const std::string& path, const std::string& arguments) override;
    std::vector<Started> started() const;

private:
    mutable std::mutex mutex_;
    std::vector<Started> started_;
};

class SimWorkstation final : public IWorkstation {
public:
    bool Lock() override;
    int lockCount() const;
    std::chrono::steady_clock::time_point lastLock() const;

private:
    mutable std::mutex mutex_;
    int locks_ = 0;
    std::chrono::steady_clock::time_point lastLock_;
};

}  // namespace keydeck
