#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace keydeck {

// Added to a virtual-key code for a key the system marks as extended.
inline constexpr uint32_t kExtendedKeyFlag = 0x100;

// The key code of records and lookups: the low 8 bits of the virtual-key code,
// plus kExtendedKeyFlag for an extended key.
constexpr uint32_t MakeKeyCode(uint32_t vk, bool extended) {
    return (vk & 0xFF) + (extended ? kExtendedKeyFlag : 0);
}

struct KeyNameEntry {
    uint16_t vk;            // key code (the flag only in the numeric pad's Enter row)
    uint16_t usage;         // HID usage on the keyboard page
    std::string_view name;  // UTF-8
};

inline constexpr std::size_t kKeyNameCount = 115;

// Ordered: lookups take the first match.
extern const std::array<KeyNameEntry, kKeyNameCount> KeyNameTable;

// The name of the first row matching vk (plus the flag when extended), else
// of the first row matching vk without the flag, else none.
std::optional<std::string_view> LookupKeyName(uint32_t vk, bool extended);

}  // namespace keydeck
