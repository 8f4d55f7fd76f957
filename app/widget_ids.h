#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace keydeck {

struct WidgetIdEntry {
    std::string_view name;
    int32_t id;
};

inline constexpr std::size_t kWidgetIdCount = 68;
inline constexpr int32_t kWidgetIdNameStart = 0xFFFF;  // "_name_start"
inline constexpr int32_t kWidgetIdFirst = 0x10000;     // "title"

// The layouts' widget names and their numeric IDs, sorted by name (byte order),
// as the UI framework receives them.
const std::array<WidgetIdEntry, kWidgetIdCount>& WidgetIdTable();

std::optional<int32_t> WidgetIdByName(std::string_view name);
std::optional<std::string_view> WidgetNameById(int32_t id);

}  // namespace keydeck
