#pragma once

#include <cstdint>
#include <memory>

namespace keydeck {

// Flags of an injected key event.
inline constexpr std::uint32_t kKeyEventFExtendedKey = 0x0001;
inline constexpr std::uint32_t kKeyEventFKeyUp = 0x0002;

// The extra-information word of every key event KeyDeck injects, so that its own
// hook listener recognises and passes them on.
inline constexpr std::uintptr_t kInjectedEventMarker = 0xFFFFFFFF;

// Produces key events as if typed on a keyboard.
class IKeyInjector {
public:
    virtual ~IKeyInjector() = default;
    // Set-1 scan code of a virtual-key code, 0 when it has none.
    virtual std::uint32_t VirtualKeyToScanCode(std::uint32_t vk) = 0;
    // One key-down (or key-up with kKeyEventFKeyUp) of `vk`.
    virtual void SendKeyEvent(std::uint8_t vk, std::uint8_t scanCode, std::uint32_t flags,
                              std::uintptr_t extraInfo) = 0;
};

// The real injector of this platform. On Linux it writes to the same output
// device as the system keyboard hook.
std::unique_ptr<IKeyInjector> CreateKeyInjector();

}  // namespace keydeck
