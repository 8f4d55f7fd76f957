#pragma once

#include <chrono>
#include <memory>

#include "platform/keyboard_hook_platform.h"

namespace keydeck {

class IDispatcher;

struct EvdevHookOptions {
    // Also take keyboards under /sys/devices/virtual/input/ (tests type on one).
    bool includeVirtualDevices = false;
    // How long the reader waits for the UI thread's verdict before passing on.
    std::chrono::milliseconds verdictTimeout{300};
};

// Reads every keyboard's evdev node, grabs it, and sends what no listener
// swallowed to KeyDeck's own uinput keyboard.
std::unique_ptr<ISystemKeyboardHook> CreateEvdevKeyboardHook(IDispatcher& dispatcher,
                                                             EvdevHookOptions options);

}  // namespace keydeck
