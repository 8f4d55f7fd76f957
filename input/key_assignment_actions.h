#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "input/keyboard_hook.h"
#include "stores/macro_step.h"
#include "tasks/task_thread.h"

namespace keydeck {

class AppSettings;
class IKeyInjector;
class IProgramLauncher;
class IWorkstation;
class KeyAssignmentStore;
class MacroStore;

// A step code that locks the workstation instead of sending a key.
inline constexpr std::int32_t kLockWorkstationCode = 11111;
// Media codes from here on name a "funkey" program launcher.
inline constexpr std::int32_t kFirstLauncherCode = 10000;

// What the host does for assigned keys: the main window's hook listener and the
// player of its key-step queue, kept free of the window so that it can be
// driven directly.
class KeyAssignmentActions final : public IKeyboardHookListener {
public:
    struct Services {
        IKeyInjector& injector;
        IProgramLauncher& launcher;
        IWorkstation& workstation;
        // Whether the keyboard is connected; assignments act only then.
        std::function<bool()> isConnected;
        SleepFunction sleep = SleepFor;
    };
    struct Stores {
        const KeyAssignmentStore& assignments;
        const AppSettings& settings;
        const MacroStore& macros;
    };

    // `keyStepLock` guards the key-step queue (the task thread's second mutex).
    KeyAssignmentActions(Services services, std::recursive_mutex& keyStepLock);
    KeyAssignmentActions(Services services, std::recursive_mutex& keyStepLock, Stores stores);

    // UI thread: decides an event and carries out Key and Media assignments.
    bool OnHookEvent(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event) override;
    // The open macro editor, or null; it gets the events while it needs them.
    void SetMacroEditor(IKeyboardHookListener* editor) { macroEditor_ = editor; }

    // Task thread: plays the oldest queued step and then sleeps its delay.
    void PlayNextKeyStep();

    std::vector<MacroStep> QueuedSteps() const;
    const MacroStep& LastComboDownStep() const { return lastComboDownStep_; }

private:
    void Append(const MacroStep& step);
    void SendKey(std::int32_t code, std::uint32_t flags);

    Services services_;
    std::recursive_mutex& keyStepLock_;
    Stores stores_;
    IKeyboardHookListener* macroEditor_ = nullptr;
    std::deque<MacroStep> keyStepQueue_;  // guarded by keyStepLock_
    MacroStep lastComboDownStep_;         // UI thread only
};

}  // namespace keydeck
