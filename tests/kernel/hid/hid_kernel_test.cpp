// Runs as root inside a VM with uhid and hid-generic loaded: creates the
// keyboard as a uhid device and drives discovery, HidDevice, the protocol and
// the device notices through the Linux backend against it.

#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "device/device_notice_filter.h"
#include "device/hid_device.h"
#include "device/hid_discovery.h"
#include "platform/dispatcher.h"
#include "protocol/device_status.h"
#include "protocol/lighting_commands.h"
#include "protocol/pacing.h"

namespace keydeck {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

// A vendor collection with feature and output report 7 (7 data bytes), then a
// boot-style keyboard collection with input report 1.
const uint8_t kDescriptor[] = {
    0x06,
    0x00,
    0xFF,  // usage page (vendor FF00)
    0x09,
    0x01,  // usage 1
    0xA1,
    0x01,  // collection (application)
    0x85,
    0x07,  //   report ID 7
    0x15,
    0x00,
    0x26,
    0xFF,
    0x00,
    0x75,
    0x08,
    0x95,
    0x07,
    0x09,
    0x01,
    0xB1,
    0x02,  // feature (data,
           // variable)
    0x09,
    0x01,
    0x91,
    0x02,  // output (data, variable)
    0xC0,  // end collection
    0x05,
    0x01,  // usage page (generic desktop)
    0x09,
    0x06,  // usage (keyboard)
    0xA1,
    0x01,  // collection (application)
    0x85,
    0x01,  //   report ID 1
    0x05,
    0x07,
    0x19,
    0xE0,
    0x29,
    0xE7,
    0x15,
    0x00,
    0x25,
    0x01,
    0x75,
    0x01,
    0x95,
    0x08,
    0x81,
    0x02,  // modifiers
    0x95,
    0x06,
    0x75,
    0x08,
    0x15,
    0x00,
    0x25,
    0x65,
    0x19,
    0x00,
    0x29,
    0x65,
    0x81,
    0x00,  // keys
    0xC0,
};

struct Received {
    enum Kind { kSetFeature, kGetFeature, kOutput } kind;
    uint8_t reportNumber;
    Bytes bytes;
};

// The keyboard's side of /dev/uhid: answers the version query with 1.144 and
// records every report that reaches it.
class UhidKeyboard {
public:
    UhidKeyboard() : fd_(open("/dev/uhid", O_RDWR | O_CLOEXEC)) {}
    ~UhidKeyboard() {
        Destroy();
        if (fd_ >= 0) close(fd_);
    }

    bool Create() {
        uhid_event ev{};
        ev.type = UHID_CREATE2;
        std::strcpy(reinterpret_cast<char*>(ev.u.create2.name), "KeyDeck test keyboard");
        std::strcpy(reinterpret_cast<char*>(ev.u.create2.phys), "usb-keydeck-test/input1");
        ev.u.create2.rd_size = sizeof kDescriptor;
        ev.u.create2.bus = 0x03;  // USB
        ev.u.create2.vendor = 0x1A2C;
        ev.u.create2.product = 0x6700;
        ev.u.create2.version = 0x0105;
        std::memcpy(ev.u.create2.rd_data, kDescriptor, sizeof kDescriptor);
        if (!Send(ev)) return false;
        stop_ = false;
        thread_ = std::thread([this] { Run(); });
        return true;
    }

    void Destroy() {
        if (!thread_.joinable()) return;
        stop_ = true;
        thread_.join();
        uhid_event ev{};
        ev.type = UHID_DESTROY;
        Send(ev);
    }

    bool ok() const { return fd_ >= 0; }

    std::vector<Received> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(received_, {});
    }

private:
    bool Send(const uhid_event& ev) { return write(fd_, &ev, sizeof ev) == sizeof ev; }

    void Run() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            uhid_event ev{};
            if (read(fd_, &ev, sizeof ev) <= 0) continue;
            std::lock_guard lock(mutex_);
            if (ev.type == UHID_SET_REPORT) {
                const auto& r = ev.u.set_report;
                received_.push_back(
                    {Received::kSetFeature, r.rnum, Bytes(r.data, r.data + r.size)});
                uhid_event reply{};
                reply.type = UHID_SET_REPORT_REPLY;
                reply.u.set_report_reply.id = r.id;
                reply.u.set_report_reply.err = 0;
                Send(reply);
            } else if (ev.type == UHID_GET_REPORT) {
                const auto& r = ev.u.get_report;
                received_.push_back({Received::kGetFeature, r.rnum, {}});
                uhid_event reply{};
                reply.type = UHID_GET_REPORT_REPLY;
                reply.u.get_report_reply.id = r.id;
                reply.u.get_report_reply.err = 0;
                const uint8_t answer[8] = {0x07, 0x01, 0x90, 0, 0, 0, 0, 0};
                reply.u.get_report_reply.size = sizeof answer;
                std::memcpy(reply.u.get_report_reply.data, answer, sizeof answer);
                Send(reply);
            } else if (ev.type == UHID_OUTPUT) {
                const auto& r = ev.u.output;
                received_.push_back({Received::kOutput, r.data[0], Bytes(r.data, r.data + r.size)});
            }
        }
    }

    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<Received> received_;
};

bool WaitForHidraw() {
    for (int i = 0; i < 300; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
            if (entry.path().filename().string().starts_with("hidraw")) return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

class NullWindow final : public IDeviceStatusWindow {
public:
    MessageResult ShowWarning(std::string_view, bool, MessageButtons) override {
        return MessageResult::kOk;
    }
    std::string Translate(std::string_view text) override { return std::string(text); }
    void SetVersionText(std::string_view text) override { version = text; }
    void ResetMacroEditorSettings() override {}
    void ClearKeyAssignments() override {}
    void ResetLedEffects() override {}
    void ResetSideLight() override {}
    void ShowSideLightPanel(bool) override {}
    void ShowMainLightingPanel(bool) override {}
    void ClearKeyMarks() override {}
    void RefreshKeyMarks() override {}
    void DestroyWindow() override { destroyed = true; }

    std::string version;
    bool destroyed = false;
};

const DeviceIdentity kIdentity{0x1A2C, 0x6700, 1, 1};

class HidKernelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(keyboard.ok()) << "/dev/uhid: " << std::strerror(errno);
        ASSERT_TRUE(keyboard.Create());
        ASSERT_TRUE(WaitForHidraw()) << "no hidraw node appeared";
        platform = CreateSystemHidPlatform();
    }

    UhidKeyboard keyboard;
    std::unique_ptr<IHidPlatform> platform;
};

TEST_F(HidKernelTest, DiscoveryFindsTheVendorCollection) {
    const auto all = FindHidInterfaces(*platform, DeviceIdentity{0x1A2C, 0x6700, 1, -1});
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NE(all[0].path.find("hid#vid_1a2c&pid_6700&mi_01&col01#hidraw"), std::string::npos)
        << all[0].path;
    EXPECT_NE(all[1].path.find("&mi_01&col02#"), std::string::npos) << all[1].path;
    EXPECT_EQ(all[0].releaseNumber, 0);  // no USB device above a uhid one
    EXPECT_EQ(all[0].usagePage, 0xFF00);
    EXPECT_EQ(all[0].usage, 1);
    EXPECT_EQ(all[1].usagePage, 0x01);
    EXPECT_EQ(all[1].usage, 0x06);

    const auto chosen = FindHidInterfaces(*platform, kIdentity);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0].path, all[0].path);
    EXPECT_TRUE(FindHidInterfaces(*platform, DeviceIdentity{0x1A2C, 0x6700, 0, -1}).empty());
}

TEST_F(HidKernelTest, ReportsArriveByteExact) {
    HidDevice device(*platform);
    ASSERT_TRUE(device.Open(kIdentity, nullptr, kHidDefaultAccess));
    EXPECT_EQ(device.capabilities().outputReportByteLength, 8);
    EXPECT_EQ(device.capabilities().featureReportByteLength, 8);
    keyboard.Take();

    SteadyClock clock;
    CommandPacer pacer(clock);
    LedEffectStore effects;
    SideLightStore sides;
    SendMainLighting(device, pacer, effects, 20);
    SendSideLight(device, pacer, sides, 4);
    MakeStartupLightingTask(device, effects, 20)();

    NullWindow window;
    DeviceStatus status(device, pacer, window);
    status.QueryFirmwareVersion();
    EXPECT_EQ(status.firmwareVersion, 0x0190);
    status.ShowFirmwareVersion();
    EXPECT_EQ(window.version, "Firmware: v1.144");

    status.RestoreFactorySettings();
    std::vector<Received> got;
    for (int i = 0; i < 200 && got.size() < 6; ++i) {
        for (auto& r : keyboard.Take()) got.push_back(std::move(r));
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(got.size(), 6u);
    const Bytes expected[] = {
        {0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x00},
        {0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x74, 0x00},
        {0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x01},
        {0x07, 0xF1, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(got[i].kind, Received::kSetFeature) << i;
        EXPECT_EQ(got[i].reportNumber, 7) << i;
        EXPECT_EQ(got[i].bytes, expected[i]) << i;
    }
    EXPECT_EQ(got[4].kind, Received::kGetFeature);
    EXPECT_EQ(got[4].reportNumber, 7);
    EXPECT_EQ(got[5].kind, Received::kOutput);
    EXPECT_EQ(got[5].bytes, (Bytes{0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0}));
}

TEST_F(HidKernelTest, RemovalAndArrivalReachTheFilter) {
    QueueDispatcher dispatcher;
    std::vector<DeviceNotice> notices;
    auto source = platform->WatchDeviceNotices(
        dispatcher, [&](const DeviceNotice& n) { notices.push_back(n); });
    ASSERT_NE(source, nullptr);

    HidDevice device(*platform);
    NullWindow window;
    SteadyClock clock;
    CommandPacer pacer(clock);
    DeviceStatus status(device, pacer, window);
    ASSERT_TRUE(device.Open(kIdentity, nullptr, kHidDefaultAccess));
    status.restoring = true;  // as after a factory restore: the window stays

    keyboard.Destroy();
    dispatcher.RunFor(5s, [&] { return notices.size() >= 2; });
    ASSERT_EQ(notices.size(), 2u);
    for (const auto& n : notices) EXPECT_EQ(n.event, kDeviceRemoveComplete);
    EXPECT_TRUE(DeviceNoticeMatches(notices[0], kIdentity)) << notices[0].path;
    EXPECT_FALSE(DeviceNoticeMatches(notices[1], kIdentity)) << notices[1].path;
    for (const auto& n : notices) status.OnDeviceChange(n, kIdentity);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(window.destroyed);

    notices.clear();
    ASSERT_TRUE(keyboard.Create());
    dispatcher.RunFor(5s, [&] { return notices.size() >= 2; });
    ASSERT_EQ(notices.size(), 2u);
    for (const auto& n : notices) EXPECT_EQ(n.event, kDeviceArrival);
    EXPECT_TRUE(DeviceNoticeMatches(notices[0], kIdentity)) << notices[0].path;
    for (const auto& n : notices) status.OnDeviceChange(n, kIdentity);
    EXPECT_TRUE(device.IsOpen());
    EXPECT_FALSE(status.restoring);
    EXPECT_EQ(status.firmwareVersion, 0x0190);
}

TEST_F(HidKernelTest, OpenWithoutPermissionSaysWhichRuleIsMissing) {
    const auto found = FindHidInterfaces(*platform, kIdentity);
    ASSERT_EQ(found.size(), 1u);
    const std::string node = "/dev/" + found[0].path.substr(found[0].path.find("#hidraw") + 1,
                                                            found[0].path.rfind('#') -
                                                                found[0].path.find("#hidraw") - 1);
    ASSERT_EQ(chmod(node.c_str(), 0600), 0);
    // Root passes any mode; drop to another user for the open.
    std::string line;
    if (fork() == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        const auto result = platform->Open(found[0].path, kHidAccessRead | kHidAccessWrite, 3);
        _exit(result.error == HidOpenError::kPermissionDenied ? 0 : 4);
    }
    int status = 0;
    wait(&status);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace keydeck
