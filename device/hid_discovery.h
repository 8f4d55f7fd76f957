#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/device_identity.h"
#include "platform/hid_platform.h"

namespace keydeck {

// One matching interface of a discovery.
struct HidInterfaceInfo {
    std::string path;
    HidGuid interfaceClass;
    uint32_t interfaceFlags = 0;
    int32_t vendorId = 0;
    int32_t productId = 0;
    uint16_t releaseNumber = 0;  // 0 when the probe could not open the interface
    uint16_t usagePage = 0;
    uint16_t usage = 0;
};

// The present HID interfaces whose path fields pass the filter, in enumeration
// order; each is opened once to read its attributes and capabilities. An empty
// product list with a non-positive vid enumerates nothing.
std::vector<HidInterfaceInfo> FindHidInterfaces(IHidPlatform& platform, int32_t vid,
                                                std::span<const int32_t> pidList, int32_t interface,
                                                int32_t subdevice);

// The configured pid as a product list: one entry, none when it is 0.
std::span<const int32_t> ProductListOf(const DeviceIdentity& identity);

std::vector<HidInterfaceInfo> FindHidInterfaces(IHidPlatform& platform,
                                                const DeviceIdentity& identity);

}  // namespace keydeck
