#include "platform/linux/evdev_key_table.h"

#include <linux/input-event-codes.h>

#include <array>
#include <cstddef>

namespace keydeck {
namespace {

struct Row {
    std::uint16_t evdev;
    std::uint16_t vk;
    std::uint16_t scan;
    bool extended;
};

// Rows with the same vk: the first one with a given extended mark wins.
constexpr Row kRows[] = {
    {KEY_ESC, 0x1B, 0x01, false},
    {KEY_F1, 0x70, 0x3B, false},
    {KEY_F2, 0x71, 0x3C, false},
    {KEY_F3, 0x72, 0x3D, false},
    {KEY_F4, 0x73, 0x3E, false},
    {KEY_F5, 0x74, 0x3F, false},
    {KEY_F6, 0x75, 0x40, false},
    {KEY_F7, 0x76, 0x41, false},
    {KEY_F8, 0x77, 0x42, false},
    {KEY_F9, 0x78, 0x43, false},
    {KEY_F10, 0x79, 0x44, false},
    {KEY_F11, 0x7A, 0x57, false},
    {KEY_F12, 0x7B, 0x58, false},
    {KEY_SYSRQ, 0x2C, 0x37, true},
    {KEY_SCROLLLOCK, 0x91, 0x46, false},
    {KEY_PAUSE, 0x13, 0x45, false},
    {KEY_GRAVE, 0xC0, 0x29, false},
    {KEY_1, 0x31, 0x02, false},
    {KEY_2, 0x32, 0x03, false},
    {KEY_3, 0x33, 0x04, false},
    {KEY_4, 0x34, 0x05, false},
    {KEY_5, 0x35, 0x06, false},
    {KEY_6, 0x36, 0x07, false},
    {KEY_7, 0x37, 0x08, false},
    {KEY_8, 0x38, 0x09, false},
    {KEY_9, 0x39, 0x0A, false},
    {KEY_0, 0x30, 0x0B, false},
    {KEY_MINUS, 0xBD, 0x0C, false},
    {KEY_EQUAL, 0xBB, 0x0D, false},
    {KEY_BACKSPACE, 0x08, 0x0E, false},
    {KEY_INSERT, 0x2D, 0x52, true},
    {KEY_HOME, 0x24, 0x47, true},
    {KEY_PAGEUP, 0x21, 0x49, true},
    {KEY_NUMLOCK, 0x90, 0x45, true},
    {KEY_KPSLASH, 0x6F, 0x35, true},
    {KEY_KPASTERISK, 0x6A, 0x37, false},
    {KEY_KPMINUS, 0x6D, 0x4A, false},
    {KEY_TAB, 0x09, 0x0F, false},
    {KEY_Q, 0x51, 0x10, false},
    {KEY_W, 0x57, 0x11, false},
    {KEY_E, 0x45, 0x12, false},
    {KEY_R, 0x52, 0x13, false},
    {KEY_T, 0x54, 0x14, false},
    {KEY_Y, 0x59, 0x15, false},
    {KEY_U, 0x55, 0x16, false},
    {KEY_I, 0x49, 0x17, false},
    {KEY_O, 0x4F, 0x18, false},
    {KEY_P, 0x50, 0x19, false},
    {KEY_LEFTBRACE, 0xDB, 0x1A, false},
    {KEY_RIGHTBRACE, 0xDD, 0x1B, false},
    {KEY_BACKSLASH, 0xDC, 0x2B, false},
    {KEY_DELETE, 0x2E, 0x53, true},
    {KEY_END, 0x23, 0x4F, true},
    {KEY_PAGEDOWN, 0x22, 0x51, true},
    {KEY_KP7, 0x67, 0x47, false},
    {KEY_KP8, 0x68, 0x48, false},
    {KEY_KP9, 0x69, 0x49, false},
    {KEY_KPPLUS, 0x6B, 0x4E, false},
    {KEY_CAPSLOCK, 0x14, 0x3A, false},
    {KEY_A, 0x41, 0x1E, false},
    {KEY_S, 0x53, 0x1F, false},
    {KEY_D, 0x44, 0x20, false},
    {KEY_F, 0x46, 0x21, false},
    {KEY_G, 0x47, 0x22, false},
    {KEY_H, 0x48, 0x23, false},
    {KEY_J, 0x4A, 0x24, false},
    {KEY_K, 0x4B, 0x25, false},
    {KEY_L, 0x4C, 0x26, false},
    {KEY_SEMICOLON, 0xBA, 0x27, false},
    {KEY_APOSTROPHE, 0xDE, 0x28, false},
    {KEY_ENTER, 0x0D, 0x1C, false},
    {KEY_KP4, 0x64, 0x4B, false},
    {KEY_KP5, 0x65, 0x4C, false},
    {KEY_KP6, 0x66, 0x4D, false},
    {KEY_LEFTSHIFT, 0xA0, 0x2A, false},
    {KEY_Z, 0x5A, 0x2C, false},
    {KEY_X, 0x58, 0x2D, false},
    {KEY_C, 0x43, 0x2E, false},
    {KEY_V, 0x56, 0x2F, false},
    {KEY_B, 0x42, 0x30, false},
    {KEY_N, 0x4E, 0x31, false},
    {KEY_M, 0x4D, 0x32, false},
    {KEY_COMMA, 0xBC, 0x33, false},
    {KEY_DOT, 0xBE, 0x34, false},
    {KEY_SLASH, 0xBF, 0x35, false},
    {KEY_RIGHTSHIFT, 0xA1, 0x36, false},
    {KEY_UP, 0x26, 0x48, true},
    {KEY_KP1, 0x61, 0x4F, false},
    {KEY_KP2, 0x62, 0x50, false},
    {KEY_KP3, 0x63, 0x51, false},
    {KEY_KPENTER, 0x0D, 0x1C, true},
    {KEY_LEFTCTRL, 0xA2, 0x1D, false},
    {KEY_LEFTMETA, 0x5B, 0x5B, true},
    {KEY_LEFTALT, 0xA4, 0x38, false},
    {KEY_SPACE, 0x20, 0x39, false},
    {KEY_RIGHTALT, 0xA5, 0x38, true},
    {KEY_RIGHTMETA, 0x5C, 0x5C, true},
    {KEY_COMPOSE, 0x5D, 0x5D, true},
    {KEY_RIGHTCTRL, 0xA3, 0x1D, true},
    {KEY_LEFT, 0x25, 0x4B, true},
    {KEY_DOWN, 0x28, 0x50, true},
    {KEY_RIGHT, 0x27, 0x4D, true},
    {KEY_KP0, 0x60, 0x52, false},
    {KEY_KPDOT, 0x6E, 0x53, false},
    {KEY_102ND, 0xE2, 0x56, false},
    {KEY_CLEAR, 0x0C, 0x4C, false},
    // Media and browser keys.
    {KEY_MUTE, 0xAD, 0x20, true},
    {KEY_VOLUMEDOWN, 0xAE, 0x2E, true},
    {KEY_VOLUMEUP, 0xAF, 0x30, true},
    {KEY_NEXTSONG, 0xB0, 0x19, true},
    {KEY_PREVIOUSSONG, 0xB1, 0x10, true},
    {KEY_STOPCD, 0xB2, 0x24, true},
    {KEY_PLAYPAUSE, 0xB3, 0x22, true},
    {KEY_MAIL, 0xB4, 0x6C, true},
    {KEY_MEDIA, 0xB5, 0x6D, true},
    {KEY_CALC, 0xB7, 0x21, true},
    {KEY_COMPUTER, 0xB6, 0x6B, true},
    {KEY_BACK, 0xA6, 0x6A, true},
    {KEY_FORWARD, 0xA7, 0x69, true},
    {KEY_REFRESH, 0xA8, 0x67, true},
    {KEY_STOP, 0xA9, 0x68, true},
    {KEY_SEARCH, 0xAA, 0x65, true},
    {KEY_BOOKMARKS, 0xAB, 0x66, true},
    {KEY_HOMEPAGE, 0xAC, 0x32, true},
    {KEY_SLEEP, 0x5F, 0x5F, true},
};

}  // namespace

std::optional<WindowsKey> EvdevToWindowsKey(std::uint16_t evdevCode) {
    for (const Row& r : kRows) {
        if (r.evdev == evdevCode) return WindowsKey{r.vk, r.scan, r.extended};
    }
    return std::nullopt;
}

std::optional<std::uint16_t> WindowsKeyToEvdev(std::uint32_t vk, bool extended) {
    // Generic modifiers stand for their left key.
    if (vk == 0x10) vk = 0xA0;
    if (vk == 0x11) vk = extended ? 0xA3 : 0xA2;
    if (vk == 0x12) vk = extended ? 0xA5 : 0xA4;
    for (const Row& r : kRows) {
        if (r.vk == vk && r.extended == extended) return r.evdev;
    }
    for (const Row& r : kRows) {
        if (r.vk == vk) return r.evdev;
    }
    return std::nullopt;
}

const std::uint16_t* EvdevTableCodes(std::size_t& count) {
    static const auto codes = [] {
        std::array<std::uint16_t, std::size(kRows)> out{};
        for (std::size_t i = 0; i < std::size(kRows); ++i) out[i] = kRows[i].evdev;
        return out;
    }();
    count = codes.size();
    return codes.data();
}

}  // namespace keydeck
