#pragma once

#include <array>
#include <cstdint>

namespace keydeck {

inline constexpr uint8_t kCommandReportId = 0x07;
inline constexpr uint8_t kCommandVersionQuery = 0xF1;
inline constexpr uint8_t kCommandLighting = 0xFF;
inline constexpr uint8_t kCommandFactoryRestore = 0xF0;

// The one frame the keyboard understands: report ID, command, six parameters.
struct CommandReport {
    std::array<uint8_t, 8> bytes{kCommandReportId};

    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }
    friend bool operator==(const CommandReport&, const CommandReport&) = default;
};

// 07 F1 00 00 00 00 00 00
CommandReport MakeVersionQueryReport();
// 07 F0 AA 00 00 00 00 00
CommandReport MakeFactoryRestoreReport();

}  // namespace keydeck
