#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hid_platform.h"

namespace keydeck {

// The identity fields of a HID interface path; -1 where the path lacks one.
struct HidPathFields {
    int32_t vendorId = -1;
    int32_t productId = -1;
    int32_t interfaceNumber = -1;
    int32_t collectionNumber = -1;

    friend bool operator==(const HidPathFields&, const HidPathFields&) = default;
};

// Finds "hid#vid_XXXX&pid_XXXX[&rev_XXXX][&mi_XX][&colXX]" anywhere in the path,
// ignoring case. True when found; then every given out value is written (-1
// for an absent field). On false nothing is written. Any out value may be null.
bool ParseHidInterfacePath(std::string_view path, int32_t* vendorId, int32_t* productId,
                           int32_t* interfaceNumber, int32_t* collectionNumber);
bool ParseHidInterfacePath(std::string_view path, HidPathFields* fields);

// The GUID as the log lines show it: 4d1e55b2-f16f-11cf-88cb001111000030.
std::string HidGuidLogText(const HidGuid& guid);

}  // namespace keydeck
