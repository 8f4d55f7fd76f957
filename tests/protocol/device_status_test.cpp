#include "protocol/device_status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/hid_device.h"
#include "platform/dispatcher.h"
#include "platform/sim/sim_keyboard.h"
#include "protocol/pacing.h"
#include "tests/protocol/fake_clock.h"

namespace keydeck {
namespace {

using Bytes = std::vector<uint8_t>;
using std::chrono::milliseconds;

// Records what the logic asks of the window, in order.
class FakeWindow final : public IDeviceStatusWindow {
public:
    MessageResult ShowWarning(std::string_view text, bool owned, MessageButtons buttons) override {
        calls.push_back(std::string("warning:") + (owned ? "owned:" : "") +
                        (buttons == MessageButtons::kOkCancel ? "okcancel:" : "ok:") +
                        std::string(text));
        return answer;
    }
    std::string Translate(std::string_view text) override {
        if (chinese && text == "Firmware") return "固件";
        if (chinese && text == "Early version") return "早期版本";
        return std::string(text);
    }
    void SetVersionText(std::string_view text) override {
        version = text;
        calls.push_back("version:" + std::string(text));
    }
    void ResetMacroEditorSettings() override { calls.push_back("macro-editor"); }
    void ClearKeyAssignments() override { calls.push_back("key-assignments"); }
    void ResetLedEffects() override { calls.push_back("led-effects"); }
    void ResetSideLight() override { calls.push_back("side-light"); }
    void ShowSideLightPanel(bool reload) override {
        calls.push_back(reload ? "side-panel:reload" : "side-panel");
    }
    void ShowMainLightingPanel(bool reload) override {
        calls.push_back(reload ? "main-panel:reload" : "main-panel");
    }
    void ClearKeyMarks() override { calls.push_back("clear-marks"); }
    void RefreshKeyMarks() override { calls.push_back("refresh-marks"); }
    void DestroyWindow() override { calls.push_back("destroy"); }

    MessageResult answer = MessageResult::kOk;
    bool chinese = false;
    std::string version;
    std::vector<std::string> calls;
};

const DeviceIdentity kIdentity{0x1a2c, 0x6700, 1, 1};

class DeviceStatusTest : public ::testing::Test {
protected:
    bool Connect() { return device.Open(kIdentity, nullptr, kHidDefaultAccess); }

    std::vector<Bytes> Sent() const {
        std::vector<Bytes> sent;
        for (const auto& r : keyboard.Reports()) {
            if (r.kind != SimKeyboard::Report::Kind::kGetFeature) sent.push_back(r.bytes);
        }
        return sent;
    }

    FakeClock clock;
    SimKeyboard keyboard{SimKeyboard::Config{
        .firmwareVersion = 0x0190, .restoreOffTime = milliseconds(50), .clock = {}}};
    HidDevice device{keyboard};
    CommandPacer pacer{clock};
    FakeWindow window;
    DeviceStatus status{device, pacer, window};
};

struct VersionCase {
    const char* name;
    int32_t version;
    bool chinese;
    const char* text;  // null: nothing shown
};

class FirmwareVersionTextTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FirmwareVersionTextTest, Formats) {
    const VersionCase& c = GetParam();
    FakeWindow window;
    window.chinese = c.chinese;
    const auto text = FirmwareVersionText(c.version, window);
    if (c.text == nullptr) {
        EXPECT_FALSE(text.has_value());
    } else {
        EXPECT_EQ(text, std::optional<std::string>(c.text));
    }
}

const VersionCase kVersionCases[] = {
    {"NoVersion", -1, false, nullptr},
    {"Early", 0, false, "Firmware: Early version"},
    {"EarlyChinese", 0, true, "固件: 早期版本"},
    {"OnePointTwo", 0x0102, false, "Firmware: v1.2"},
    {"MinorInDecimal", 0x0190, false, "Firmware: v1.144"},
    {"Latest", 0x0100, true, "固件: v1.0"},
    {"Largest", 0xFFFF, false, "Firmware: v255.255"},
};

INSTANTIATE_TEST_SUITE_P(Versions, FirmwareVersionTextTest, ::testing::ValuesIn(kVersionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceStatusTest, QueryReadsTheVersionBack) {
    ASSERT_TRUE(Connect());
    status.QueryFirmwareVersion();
    EXPECT_EQ(status.firmwareVersion, 0x0190);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xF1, 0, 0, 0, 0, 0, 0}}));
    status.ShowFirmwareVersion();
    EXPECT_EQ(window.version, "Firmware: v1.144");
    EXPECT_TRUE(clock.sleeps.empty()) << "not paced";
}

TEST_F(DeviceStatusTest, VersionZeroIsTheEarlyVersion) {
    keyboard.SetFirmwareVersion(0);
    ASSERT_TRUE(Connect());
    status.QueryFirmwareVersion();
    EXPECT_EQ(status.firmwareVersion, 0);
    status.ShowFirmwareVersion();
    EXPECT_EQ(window.version, "Firmware: Early version");
}

TEST_F(DeviceStatusTest, FailedQueryKeepsTheVersion) {
    status.firmwareVersion = 0x0105;
    status.QueryFirmwareVersion();  // not connected
    EXPECT_TRUE(keyboard.Reports().empty());
    ASSERT_TRUE(Connect());
    keyboard.SetFailTransfers(true);
    status.QueryFirmwareVersion();
    EXPECT_EQ(status.firmwareVersion, 0x0105);
}

TEST_F(DeviceStatusTest, NoVersionLeavesTheTextAlone) {
    window.version = "Firmware: v1.2";
    status.ShowFirmwareVersion();
    EXPECT_EQ(window.version, "Firmware: v1.2");
    EXPECT_TRUE(window.calls.empty());
}

TEST_F(DeviceStatusTest, UpdateCheckWithoutKeyboardOnlyAsksForIt) {
    status.CheckFirmwareUpdate(kIdentity);
    EXPECT_EQ(window.calls, std::vector<std::string>{"warning:ok:Please insert USB device"});
    EXPECT_TRUE(keyboard.Reports().empty());
}

TEST_F(DeviceStatusTest, UpdateCheckWithTheLatestFirmware) {
    ASSERT_TRUE(Connect());
    status.firmwareVersion = kLatestFirmwareVersion;
    status.CheckFirmwareUpdate(kIdentity);
    EXPECT_EQ(window.calls,
              std::vector<std::string>{"warning:ok:The firmware is already the latest version and "
                                       "no upgrade is required."});
    EXPECT_TRUE(keyboard.Reports().empty());
}

TEST_F(DeviceStatusTest, UpdateCheckReconnectsAndRereads) {
    ASSERT_TRUE(device.Open(kHidDefaultAccess, keyboard.ConsumerInterfacePath()));
    status.firmwareVersion = 0x0090;
    status.CheckFirmwareUpdate(kIdentity);
    EXPECT_EQ(status.firmwareVersion, 0x0190);
    EXPECT_EQ(window.calls, std::vector<std::string>{"version:Firmware: v1.144"});
    EXPECT_EQ(keyboard.Reports().front().path, keyboard.ConfigInterfacePath());
    EXPECT_EQ(keyboard.liveConnections(), 1);
}

TEST_F(DeviceStatusTest, UpdateCheckWhoseReconnectionFails) {
    ASSERT_TRUE(Connect());
    status.firmwareVersion = 0x0090;
    keyboard.SetRefuseOpen(true);
    status.CheckFirmwareUpdate(kIdentity);
    EXPECT_EQ(status.firmwareVersion, kNoFirmwareVersion);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(DeviceStatusTest, RestoreCancelledChangesNothing) {
    ASSERT_TRUE(Connect());
    window.answer = MessageResult::kCancel;
    status.RestoreFactorySettings();
    EXPECT_FALSE(status.restoring);
    EXPECT_EQ(window.calls,
              std::vector<std::string>{"warning:owned:okcancel:All settings will be restored, are "
                                       "you sure you want to continue?"});
    EXPECT_TRUE(keyboard.Reports().empty());
}

TEST_F(DeviceStatusTest, RestoreResetsTheHostThenTellsTheKeyboard) {
    ASSERT_TRUE(Connect());
    status.RestoreFactorySettings();
    EXPECT_TRUE(status.restoring);
    const std::vector<std::string> expected = {
        "warning:owned:okcancel:All settings will be restored, are you sure you want to "
        "continue?",
        "macro-editor",
        "key-assignments",
        "led-effects",
        "side-light",
        "side-panel:reload",
        "main-panel:reload",
        "clear-marks"};
    EXPECT_EQ(window.calls, expected);
    const auto reports = keyboard.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].kind, SimKeyboard::Report::Kind::kOutput);
    EXPECT_EQ(reports[0].bytes, (Bytes{0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0}));
    EXPECT_EQ(keyboard.restoreCount(), 1);
}

TEST_F(DeviceStatusTest, RestoreWithoutKeyboardStillResetsTheHost) {
    status.RestoreFactorySettings();
    EXPECT_TRUE(status.restoring);
    EXPECT_EQ(window.calls.back(), "clear-marks");
    EXPECT_TRUE(keyboard.Reports().empty());
    // A later removal does not end the program.
    status.OnDeviceChange(
        DeviceNotice{kDeviceRemoveComplete, kDeviceTypeInterface, keyboard.ConfigInterfacePath()},
        kIdentity);
    EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "destroy"), 0);
}

class DeviceWatchTest : public DeviceStatusTest {
protected:
    DeviceWatchTest() {
        source = keyboard.WatchDeviceNotices(dispatcher, [this](const DeviceNotice& notice) {
            status.OnDeviceChange(notice, kIdentity);
        });
    }

    QueueDispatcher dispatcher;
    std::unique_ptr<IDeviceNoticeSource> source;
};

TEST_F(DeviceWatchTest, ArrivalOpensReadsAndRefreshesWithoutLighting) {
    keyboard.Unplug();
    dispatcher.RunPending();
    window.calls.clear();
    clock.Advance(milliseconds(5000));
    keyboard.Plug();
    dispatcher.RunPending();
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(status.firmwareVersion, 0x0190);
    const std::vector<std::string> expected = {"version:Firmware: v1.144", "main-panel:reload",
                                               "side-panel:reload", "refresh-marks"};
    EXPECT_EQ(window.calls, expected);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xF1, 0, 0, 0, 0, 0, 0}}));
    EXPECT_EQ(pacer.lastCommandTime(), clock.Now());
    EXPECT_EQ(keyboard.Reports().front().path, keyboard.ConfigInterfacePath());
}

TEST_F(DeviceWatchTest, MatchingArrivalReplacesTheOpenInterface) {
    ASSERT_TRUE(device.Open(kHidDefaultAccess, keyboard.BootInterfacePath()));
    keyboard.SendNotice(
        DeviceNotice{kDeviceArrival, kDeviceTypeInterface, keyboard.ConfigInterfacePath()});
    dispatcher.RunPending();
    EXPECT_EQ(keyboard.liveConnections(), 1);
    EXPECT_EQ(keyboard.Reports().front().path, keyboard.ConfigInterfacePath());
}

TEST_F(DeviceWatchTest, ArrivalWhoseOpenFails) {
    keyboard.SetRefuseOpen(true);
    status.firmwareVersion = 0x0105;
    keyboard.SendNotice(
        DeviceNotice{kDeviceArrival, kDeviceTypeInterface, keyboard.ConfigInterfacePath()});
    dispatcher.RunPending();
    EXPECT_EQ(status.firmwareVersion, kNoFirmwareVersion);
    EXPECT_EQ(device.state(), HidDevice::State::kFailed);
    EXPECT_TRUE(window.calls.empty());
}

TEST_F(DeviceWatchTest, UnplugClosesAndEndsTheProgram) {
    ASSERT_TRUE(Connect());
    status.QueryFirmwareVersion();
    status.ShowFirmwareVersion();
    window.calls.clear();
    keyboard.Unplug();
    dispatcher.RunPending();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(status.firmwareVersion, kNoFirmwareVersion);
    EXPECT_EQ(window.version, "Firmware: v1.144") << "the last version stays on screen";
    EXPECT_EQ(window.calls, std::vector<std::string>{"destroy"});
}

TEST_F(DeviceWatchTest, ForeignAndOtherNoticesChangeNothing) {
    ASSERT_TRUE(Connect());
    keyboard.SendNotice(DeviceNotice{kDeviceArrival, kDeviceTypeVolume, ""});
    keyboard.SendNotice(DeviceNotice{kDeviceRemoveComplete, kDeviceTypeInterface,
                                     "\\\\?\\hid#vid_046d&pid_c52b&mi_01#x#{y}"});
    keyboard.SendNotice(
        DeviceNotice{kDeviceQueryRemove, kDeviceTypeInterface, keyboard.ConfigInterfacePath()});
    keyboard.SendNotice(DeviceNotice{kDeviceRemoveComplete, kDeviceTypeInterface,
                                     keyboard.ConsumerInterfacePath()});
    EXPECT_EQ(dispatcher.RunPending(), 4);
    EXPECT_TRUE(device.IsOpen());
    EXPECT_TRUE(window.calls.empty());
}

TEST_F(DeviceWatchTest, RestoreDropOffKeepsTheWindowAndTheReturnReconnects) {
    ASSERT_TRUE(Connect());
    status.RestoreFactorySettings();
    window.calls.clear();
    dispatcher.RunFor(std::chrono::seconds(10), [&] { return !status.restoring; });
    EXPECT_TRUE(device.IsOpen());
    EXPECT_FALSE(status.restoring);
    EXPECT_EQ(status.firmwareVersion, 0x0190);
    EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "destroy"), 0);
    EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "refresh-marks"), 1);
}

TEST_F(DeviceWatchTest, NoCallbackAfterTheSourceIsGone) {
    ASSERT_TRUE(Connect());
    keyboard.Unplug();
    source.reset();
    dispatcher.RunPending();
    EXPECT_TRUE(window.calls.empty());
}

}  // namespace
}  // namespace keydeck
