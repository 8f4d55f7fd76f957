#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace keydeck {

class IDispatcher;

// Key messages as a low-level keyboard hook reports them.
inline constexpr std::uint32_t kWmKeyDown = 0x100;
inline constexpr std::uint32_t kWmKeyUp = 0x101;
inline constexpr std::uint32_t kWmSysKeyDown = 0x104;
inline constexpr std::uint32_t kWmSysKeyUp = 0x105;

// Flags of a hook event.
inline constexpr std::uint32_t kLlkhfExtended = 0x01;
inline constexpr std::uint32_t kLlkhfInjected = 0x10;
inline constexpr std::uint32_t kLlkhfAltDown = 0x20;
inline constexpr std::uint32_t kLlkhfUp = 0x80;

// One key event of the desktop, in the form of the low-level keyboard hook's
// record on every platform: Windows virtual-key code, set-1 scan code, flags,
// a millisecond time stamp and the extra-information word of the injector.
struct KeyboardHookEvent {
    std::uint32_t vkCode = 0;
    std::uint32_t scanCode = 0;
    std::uint32_t flags = 0;
    std::uint32_t time = 0;
    std::uintptr_t extraInfo = 0;
};

// Receives every key event on the UI thread. It may change the three values;
// the event then travels on as changed. Returns true to swallow the event.
using KeyboardHookSink =
    std::function<bool(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event)>;

// The system-wide keyboard hook of one backend.
class ISystemKeyboardHook {
public:
    virtual ~ISystemKeyboardHook() = default;
    // Starts delivering events to `sink`, always on the UI thread. True when the
    // hook is in place afterwards; false leaves the keyboard untouched.
    virtual bool Install(KeyboardHookSink sink) = 0;
    virtual bool IsInstalled() const = 0;
};

// The real hook of this platform. Events reach the sink through `dispatcher`
// (Linux) or the installing thread's message loop (Windows).
std::unique_ptr<ISystemKeyboardHook> CreateSystemKeyboardHook(IDispatcher& dispatcher);

}  // namespace keydeck
