#pragma once

#include <cstdint>
#include <optional>

namespace keydeck {

// How the hook reports one evdev key: virtual-key code, set-1 scan code and
// whether the system marks it extended.
struct WindowsKey {
    std::uint32_t vk = 0;
    std::uint32_t scanCode = 0;
    bool extended = false;
};

std::optional<WindowsKey> EvdevToWindowsKey(std::uint16_t evdevCode);
// The evdev key of a virtual-key code: the row with the same extended mark
// first, then either. None for codes without a key.
std::optional<std::uint16_t> WindowsKeyToEvdev(std::uint32_t vk, bool extended);
// Every evdev key of the table, for the output device's capabilities.
const std::uint16_t* EvdevTableCodes(std::size_t& count);

}  // namespace keydeck
