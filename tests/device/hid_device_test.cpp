#include "device/hid_device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/dispatcher.h"
#include "platform/sim/sim_keyboard.h"
#include "tests/device/log_capture.h"

namespace keydeck {
namespace {

using Kind = SimKeyboard::Report::Kind;

constexpr uint8_t kLighting[8] = {0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x00};
constexpr uint8_t kRestore[8] = {0x07, 0xF0, 0xAA, 0, 0, 0, 0, 0};

class HidDeviceTest : public ::testing::Test {
protected:
    bool OpenConfig() { return device.Open(kHidDefaultAccess, keyboard.ConfigInterfacePath()); }

    SimKeyboard keyboard;
    HidDevice device{keyboard};
    LogCapture log;
};

TEST_F(HidDeviceTest, FeatureReportsBeforeAnyOpenFailWithoutReachingTheDevice) {
    uint8_t buffer[8] = {0x07};
    EXPECT_FALSE(device.GetFeature(buffer));
    EXPECT_FALSE(device.SetFeature(kLighting));
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.state(), HidDevice::State::kClosed);
    EXPECT_TRUE(keyboard.Reports().empty());
}

TEST_F(HidDeviceTest, OpenReadsCapabilitiesAndLogsTheHandle) {
    ASSERT_TRUE(OpenConfig());
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(device.capabilities().outputReportByteLength, 8);
    EXPECT_EQ(device.capabilities().usagePage, 0xFF00);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"open dev: 00000100\n"});
}

TEST_F(HidDeviceTest, FeatureReportsMoveEightBytes) {
    ASSERT_TRUE(OpenConfig());
    EXPECT_TRUE(device.SetFeature(kLighting));
    uint8_t buffer[8] = {0x07, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_TRUE(device.GetFeature(buffer));
    const auto reports = keyboard.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].kind, Kind::kSetFeature);
    EXPECT_EQ(reports[0].bytes, std::vector<uint8_t>(kLighting, kLighting + 8));
    EXPECT_EQ(reports[1].kind, Kind::kGetFeature);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8),
              (std::vector<uint8_t>{0x07, 0x01, 0x00, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(device.SetFeature(nullptr));
    EXPECT_FALSE(device.GetFeature(nullptr));
}

TEST_F(HidDeviceTest, RefusedOpenStoresTheFailedState) {
    keyboard.SetRefuseOpen(true);
    EXPECT_FALSE(OpenConfig());
    EXPECT_EQ(device.state(), HidDevice::State::kFailed);
    EXPECT_FALSE(device.IsOpen());
    uint8_t buffer[8] = {0x07};
    EXPECT_FALSE(device.GetFeature(buffer));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"open dev: ffffffff\n"});
    device.Close();
    EXPECT_EQ(device.state(), HidDevice::State::kClosed);
}

TEST_F(HidDeviceTest, NullPathChangesNothing) {
    ASSERT_TRUE(OpenConfig());
    EXPECT_FALSE(device.Open(kHidDefaultAccess, std::nullopt));
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(keyboard.liveConnections(), 1);
}

TEST_F(HidDeviceTest, OpenTwiceClosesTheFirstHandle) {
    ASSERT_TRUE(OpenConfig());
    ASSERT_TRUE(device.Open(kHidDefaultAccess, keyboard.ConsumerInterfacePath()));
    EXPECT_EQ(keyboard.liveConnections(), 1);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"open dev: 00000100\n", "open dev: 00000104\n"}));
}

TEST_F(HidDeviceTest, OpenSucceedsWhenCapabilitiesCannotBeRead) {
    keyboard.SetOutputReportLength(5);
    ASSERT_TRUE(OpenConfig());
    keyboard.SetFailCapabilityQuery(true);
    keyboard.SetOutputReportLength(8);
    EXPECT_TRUE(OpenConfig());
    EXPECT_EQ(device.capabilities().outputReportByteLength, 5) << "previous capabilities stay";
}

TEST_F(HidDeviceTest, IdentityFormOpensTheFirstInterfaceFound) {
    uint32_t release = 0;
    const std::vector<int32_t> pids{0x6700};
    ASSERT_TRUE(device.Open(0x1a2c, pids, 1, -1, &release, kHidDefaultAccess));
    EXPECT_EQ(release, 0x0105u);
    EXPECT_TRUE(device.SetFeature(kLighting));
    EXPECT_EQ(keyboard.Reports().at(0).path, keyboard.ConfigInterfacePath());
    EXPECT_FALSE(device.Open(DeviceIdentity{0x1a2c, 0x6701, 1, 1}, nullptr, kHidDefaultAccess));
}

TEST_F(HidDeviceTest, IdentityFormTriesTheFirstEvenWhenItRefusesTheProbe) {
    keyboard.SetRefuseOpen(true);
    uint32_t release = 77;
    EXPECT_FALSE(device.Open(DeviceIdentity{0x1a2c, 0x6700, 1, 1}, &release, kHidDefaultAccess));
    EXPECT_EQ(release, 0u);
    EXPECT_EQ(device.state(), HidDevice::State::kFailed);
}

TEST_F(HidDeviceTest, CloseReleasesTheHandle) {
    ASSERT_TRUE(OpenConfig());
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(keyboard.liveConnections(), 0);
    EXPECT_FALSE(device.SetFeature(kLighting));
    device.Close();  // closing a closed device is harmless
}

TEST_F(HidDeviceTest, WriteLogsEveryStep) {
    ASSERT_TRUE(OpenConfig());
    log.clear();
    EXPECT_EQ(device.Write(kRestore), 8u);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("写(异步)USB设备 handle=00000100, data="));
    EXPECT_TRUE(lines[0].ends_with(", len=8, timeout=3000\n"));
    EXPECT_EQ(lines[1], "正在写入... 8\n");
    EXPECT_EQ(lines[2], "已写长度为 8\n");
    EXPECT_EQ(keyboard.Reports().back().kind, Kind::kOutput);
}

TEST_F(HidDeviceTest, WriteIsLimitedToTheOutputReportLength) {
    keyboard.SetOutputReportLength(5);
    ASSERT_TRUE(OpenConfig());
    EXPECT_EQ(device.Write(kRestore), 5u);
    EXPECT_EQ(keyboard.Reports().back().bytes.size(), 5u);
    EXPECT_EQ(log.lines()[2], "正在写入... 5\n");
}

TEST_F(HidDeviceTest, WriteWithoutHandleOrTimeoutOnlyLogsTheResult) {
    EXPECT_EQ(device.Write(kRestore), 0u);
    ASSERT_TRUE(OpenConfig());
    EXPECT_EQ(device.WriteReport(kRestore, 8, std::chrono::milliseconds(0)), 0u);
    EXPECT_EQ(device.WriteReport(kRestore, 0, HidDevice::kWriteTimeout), 0u);
    EXPECT_EQ(device.Write(nullptr), 0u);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"已写长度为 0\n", "open dev: 00000100\n", "已写长度为 0\n",
                                        "已写长度为 0\n", "已写长度为 0\n"}));
}

TEST_F(HidDeviceTest, WriteOnTheFailedHandleFails) {
    keyboard.SetRefuseOpen(true);
    EXPECT_FALSE(OpenConfig());
    log.clear();
    EXPECT_EQ(device.Write(kRestore), 0u);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].starts_with("写(异步)USB设备 handle=ffffffff"));
    EXPECT_EQ(lines[2], "写文件错误(ffffffff,6)\n");
    EXPECT_EQ(lines[3], "已写长度为 0\n");
}

TEST_F(HidDeviceTest, StalledWriteIsCancelledAtTheTimeout) {
    ASSERT_TRUE(OpenConfig());
    keyboard.SetStallWrites(true);
    log.clear();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.Write(kRestore), 0u);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(2900));
    EXPECT_EQ(keyboard.cancelledWrites(), 1);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "写文件错误(0100,997)\n");
    EXPECT_EQ(lines[3], "超时索引错误\n");
    EXPECT_EQ(lines[4], "已写长度为 0\n");
    EXPECT_TRUE(device.IsOpen()) << "the handle stays open";
}

TEST_F(HidDeviceTest, FailingTransfersReportFailure) {
    ASSERT_TRUE(OpenConfig());
    keyboard.SetFailTransfers(true);
    uint8_t buffer[8] = {0x07};
    EXPECT_FALSE(device.SetFeature(kLighting));
    EXPECT_FALSE(device.GetFeature(buffer));
    log.clear();
    EXPECT_EQ(device.Write(kRestore), 0u);
    EXPECT_EQ(log.lines().at(2), "写文件错误(0100,1167)\n");
    EXPECT_EQ(log.lines().at(3), "已写长度为 0\n");
}

TEST_F(HidDeviceTest, RemovalInTheMiddleOfATransfer) {
    QueueDispatcher dispatcher;
    std::vector<DeviceNotice> notices;
    auto watch = keyboard.WatchDeviceNotices(dispatcher,
                                             [&](const DeviceNotice& n) { notices.push_back(n); });
    ASSERT_TRUE(OpenConfig());
    keyboard.UnplugDuringNextTransfer();
    EXPECT_FALSE(device.SetFeature(kLighting));
    EXPECT_FALSE(keyboard.plugged());
    EXPECT_FALSE(device.SetFeature(kLighting)) << "the old handle stays dead";
    dispatcher.RunPending();
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[1].event, kDeviceRemoveComplete);
    EXPECT_EQ(notices[1].path, keyboard.ConfigInterfacePath());
    keyboard.Plug();
    EXPECT_FALSE(device.SetFeature(kLighting)) << "a new arrival needs a new open";
    ASSERT_TRUE(OpenConfig());
    EXPECT_TRUE(device.SetFeature(kLighting));
}

TEST_F(HidDeviceTest, TransfersOnOneThreadWhileTheOtherReopens) {
    ASSERT_TRUE(OpenConfig());
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread worker([&] {
        while (!stop) {
            if (device.SetFeature(kLighting)) ++sent;
        }
    });
    // Keep reopening until the worker has got through a fair number of times.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; (i < 200 || sent < 50) && std::chrono::steady_clock::now() < end; ++i) {
        device.Close();
        OpenConfig();
        if (i % 16 == 0) std::this_thread::yield();
    }
    stop = true;
    worker.join();
    EXPECT_GE(sent.load(), 50);
    EXPECT_EQ(keyboard.liveConnections(), 1);
}

}  // namespace
}  // namespace keydeck
