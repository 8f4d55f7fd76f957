#include <gtest/gtest.h>

#include "device/hid_discovery.h"
#include "device/hid_path.h"
#include "platform/dispatcher.h"
#include "tests/device/log_capture.h"

namespace keydeck {
namespace {

// The machines that build and test have no keyboard; these check that the
// system backend holds up without one.
TEST(SystemHidPlatform, EnumerationListsOnlyHidClassInterfaces) {
    auto platform = CreateSystemHidPlatform();
    ASSERT_NE(platform, nullptr);
    for (const auto& entry : platform->EnumerateInterfaces()) {
        EXPECT_EQ(entry.interfaceClass, kHidInterfaceClassGuid);
    }
    LogCapture log;
    FindHidInterfaces(*platform, DeviceIdentity{0x1a2c, 0x6700, 1, 1});
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().front(), "got classs: guid={4d1e55b2-f16f-11cf-88cb001111000030}\n");
}

TEST(SystemHidPlatform, OpeningAnAbsentInterfaceFails) {
    auto platform = CreateSystemHidPlatform();
    const std::string path =
        "\\\\?\\hid#vid_1a2c&pid_6700&mi_01&col01#hidraw999#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const HidOpenResult result = platform->Open(path, kHidAccessRead | kHidAccessWrite, 3);
    EXPECT_EQ(result.connection, nullptr);
    EXPECT_NE(result.error, HidOpenError::kNone);
    EXPECT_FALSE(platform->QueryCapabilities(path).has_value());
}

TEST(SystemHidPlatform, NoticeSourceStartsAndStopsCleanly) {
    auto platform = CreateSystemHidPlatform();
    QueueDispatcher dispatcher;
    bool calledAfterStop = false;
    bool stopped = false;
    auto source = platform->WatchDeviceNotices(
        dispatcher, [&](const DeviceNotice&) { calledAfterStop = stopped; });
    ASSERT_NE(source, nullptr);
    dispatcher.RunFor(std::chrono::milliseconds(50));
    source.reset();
    stopped = true;
    dispatcher.RunPending();
    EXPECT_FALSE(calledAfterStop);
}

}  // namespace
}  // namespace keydeck
