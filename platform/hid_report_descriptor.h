#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/hid_platform.h"

namespace keydeck {

// One top-level collection of a report descriptor, with the longest report of
// each kind that belongs to it (report ID byte included, 0 when it has none).
struct HidTopLevelCollection {
    HidCapabilities caps;
    std::vector<uint8_t> reportIds;  // the IDs its reports use, in first-seen order
};

// The top-level collections of a HID report descriptor, in order. A malformed
// descriptor gives what was read before the fault.
std::vector<HidTopLevelCollection> ParseHidReportDescriptor(std::span<const uint8_t> descriptor);

}  // namespace keydeck
