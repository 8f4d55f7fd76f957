#pragma once

#include "device/device_identity.h"
#include "platform/hid_platform.h"

namespace keydeck {

// Whether a device notice concerns the configured interface: only arrivals and
// completed removals of device interfaces whose path parses. Unlike discovery,
// a field the path lacks is the wildcard and the configured values are
// compared as they are (so interface -1 matches only paths without "&mi_").
bool DeviceNoticeMatches(const DeviceNotice& notice, const DeviceIdentity& identity);

}  // namespace keydeck
