#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/keyboard_hook_platform.h"

namespace keydeck {

// A party that sees every key event of the desktop.
class IKeyboardHookListener {
public:
    virtual ~IKeyboardHookListener() = default;
    // May change the three values for later listeners and the system; returns
    // true to swallow the event.
    virtual bool OnHookEvent(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event) = 0;
};

// The hook module: one system hook and the listeners it asks in order.
class KeyboardHook {
public:
    KeyboardHook() = default;
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    // Installs `backend` unless a hook is installed already; true when one is
    // installed afterwards. A backend that fails is dropped.
    bool Install(std::unique_ptr<ISystemKeyboardHook> backend);
    bool IsInstalled() const;
    // Takes the system hook away and forgets the listeners; for the end of the
    // process, before the dispatcher that carries events goes away.
    void Shutdown();
    bool AddListener(IKeyboardHookListener* listener);
    bool RemoveListener(IKeyboardHookListener* listener);
    // Asks the listeners in order; true when one swallowed the event.
    bool Proc(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event);

private:
    std::unique_ptr<ISystemKeyboardHook> backend_;
    std::vector<IKeyboardHookListener*> listeners_;  // not owned
};

// The process-wide hook module, created on first use and never freed.
KeyboardHook& GetKeyboardHook();

bool InstallKeyboardHook(std::unique_ptr<ISystemKeyboardHook> backend);
bool IsKeyboardHookInstalled();
bool AddHookListener(IKeyboardHookListener* listener);
bool RemoveHookListener(IKeyboardHookListener* listener);
void ShutdownKeyboardHook();
// Where the backend delivers every event; true means swallowed.
bool KeyboardHookProc(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event);

}  // namespace keydeck
