#pragma once

// Shared by the Linux HID backend and its device notices; not an interface.

#include <libudev.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/hid_platform.h"

namespace keydeck::linux_hid {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// One interface as Windows would list it: one per top-level collection of a
// hidraw node, all pointing at that node.
struct Interface {
    std::string path;     // \\?\hid#vid_..&pid_..[&mi_..][&col..]#hidrawN#{class guid}
    std::string devnode;  // /dev/hidrawN
    HidAttributes attributes;
    HidCapabilities caps;
};

// The interfaces of one hidraw device; sysfs must still hold it.
std::vector<Interface> DescribeHidraw(udev_device* hidraw);

// "hidrawN" out of a path made by DescribeHidraw.
std::optional<std::string> NodeNameFromPath(const std::string& path);

}  // namespace keydeck::linux_hid
