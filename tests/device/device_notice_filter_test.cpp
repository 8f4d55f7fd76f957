#include "device/device_notice_filter.h"

#include <gtest/gtest.h>

namespace keydeck {
namespace {

std::string PathWith(const char* fields) {
    return std::string("\\\\?\\HID#VID_1A2C&PID_6700") + fields +
           "#8&1b2c3d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

struct NoticeCase {
    const char* name;
    uint32_t event;
    uint32_t type;
    std::string path;
    DeviceIdentity identity;
    bool matches;
};

class DeviceNoticeFilterTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(DeviceNoticeFilterTest, Decides) {
    const NoticeCase& c = GetParam();
    EXPECT_EQ(DeviceNoticeMatches(DeviceNotice{c.event, c.type, c.path}, c.identity), c.matches);
}

const DeviceIdentity kConfigured{0x1a2c, 0x6700, 1, 1};
const DeviceIdentity kAnyCollection{0x1a2c, 0x6700, 1, -1};

const NoticeCase kNoticeCases[] = {
    {"Arrival", kDeviceArrival, kDeviceTypeInterface, PathWith("&MI_01&COL01"), kConfigured, true},
    {"Removal", kDeviceRemoveComplete, kDeviceTypeInterface, PathWith("&mi_01&col01"), kConfigured,
     true},
    {"OtherEvent", kDeviceQueryRemove, kDeviceTypeInterface, PathWith("&mi_01&col01"), kConfigured,
     false},
    {"VolumeNotice", kDeviceArrival, kDeviceTypeVolume, PathWith("&mi_01&col01"), kConfigured,
     false},
    {"OtherCollection", kDeviceArrival, kDeviceTypeInterface, PathWith("&mi_01&col02"), kConfigured,
     false},
    {"OtherInterface", kDeviceArrival, kDeviceTypeInterface, PathWith("&mi_00"), kConfigured,
     false},
    {"MissingFieldsAreWildcards", kDeviceArrival, kDeviceTypeInterface, PathWith(""), kConfigured,
     true},
    {"SubdeviceMinusOneMatchesOnlyWithoutCol", kDeviceArrival, kDeviceTypeInterface,
     PathWith("&mi_01"), kAnyCollection, true},
    {"SubdeviceMinusOneRejectsCol", kDeviceArrival, kDeviceTypeInterface, PathWith("&mi_01&col02"),
     kAnyCollection, false},
    {"OtherProduct", kDeviceArrival, kDeviceTypeInterface,
     "\\\\?\\hid#vid_1a2c&pid_6701&mi_01&col01#x#{y}", kConfigured, false},
    {"ZeroVendorInPathIsWildcard", kDeviceArrival, kDeviceTypeInterface,
     "\\\\?\\hid#vid_0000&pid_6700&mi_01&col01#x#{y}", kConfigured, true},
    {"MouseArrives", kDeviceArrival, kDeviceTypeInterface,
     "\\\\?\\hid#vid_046d&pid_c52b&mi_01#x#{y}", kConfigured, false},
    {"NotAHidPath", kDeviceArrival, kDeviceTypeInterface, "\\\\?\\usb#vid_1a2c&pid_6700#x#{y}",
     kConfigured, false},
};

INSTANTIATE_TEST_SUITE_P(Notices, DeviceNoticeFilterTest, ::testing::ValuesIn(kNoticeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace keydeck
