#pragma once

#include <cstdint>

namespace keydeck {

// Selects the keyboard's configuration interface among all HID interfaces.
// An interface or subdevice of -1 accepts any value.
struct DeviceIdentity {
    int32_t vid = 0;
    int32_t pid = 0;
    int32_t interface = 0;
    int32_t subdevice = 0;

    friend bool operator==(const DeviceIdentity&, const DeviceIdentity&) = default;
};

}  // namespace keydeck
