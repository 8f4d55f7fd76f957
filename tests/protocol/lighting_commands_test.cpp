#include "protocol/lighting_commands.h"

#include <gtest/gtest.h>

#include <thread>

#include "device/hid_device.h"
#include "platform/sim/sim_keyboard.h"
#include "protocol/pacing.h"
#include "tests/protocol/fake_clock.h"

namespace keydeck {
namespace {

using std::chrono::milliseconds;
using Bytes = std::vector<uint8_t>;

class LightingTest : public ::testing::Test {
protected:
    LightingTest() : keyboard(SimKeyboard::Config{.clock = [this] { return clock.Now(); }}) {
        device.Open(kHidDefaultAccess, keyboard.ConfigInterfacePath());
    }

    std::vector<Bytes> Sent() const {
        std::vector<Bytes> sent;
        for (const auto& r : keyboard.Reports()) sent.push_back(r.bytes);
        return sent;
    }

    FakeClock clock;
    SimKeyboard keyboard;
    HidDevice device{keyboard};
    CommandPacer pacer{clock};
    LedEffectStore effects;  // factory values, no file
    SideLightStore sides;
};

TEST_F(LightingTest, MainLightingOfTheFactoryRecord) {
    SendMainLighting(device, pacer, effects, 20);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x00}}));
}

TEST_F(LightingTest, MainLightingOfTheCurrentEffectSendsFF) {
    effects.sel = 7;
    effects.GetEntry(7)->brightness = 2;
    SendMainLighting(device, pacer, effects, -1);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0x00, 0x00}}));
}

TEST_F(LightingTest, IndexWithoutARecordSendsNothingAndDoesNotWait) {
    const auto marked = pacer.lastCommandTime();
    SendMainLighting(device, pacer, effects, 22);
    effects.sel = 22;
    SendMainLighting(device, pacer, effects, -1);
    SendSideLight(device, pacer, sides, 12);
    SendSideLight(device, pacer, sides, -2);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(pacer.lastCommandTime(), marked);
}

TEST_F(LightingTest, SideLightOfAMode) {
    SendSideLight(device, pacer, sides, 2);
    sides.sel = 4;
    SendSideLight(device, pacer, sides, -1);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x42, 0x00},
                                          {0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x7F, 0x00}}));
}

TEST_F(LightingTest, PacedReportsLeaveAtLeast100msApart) {
    clock.Advance(milliseconds(1000));
    SendMainLighting(device, pacer, effects, 1);
    clock.Advance(milliseconds(10));
    SendSideLight(device, pacer, sides, 1);
    clock.Advance(milliseconds(300));
    SendMainLighting(device, pacer, effects, 2);
    const auto reports = keyboard.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[1].time - reports[0].time, milliseconds(100));
    EXPECT_EQ(reports[2].time - reports[1].time, milliseconds(300));
    for (const auto& r : reports) {
        EXPECT_EQ(r.bytes.size(), 8u);
        EXPECT_EQ(r.bytes[0], 0x07);
    }
}

TEST_F(LightingTest, FailedSendStillKeepsTheSpacing) {
    device.Close();
    clock.Advance(milliseconds(500));
    SendMainLighting(device, pacer, effects, 1);
    ASSERT_TRUE(device.Open(kHidDefaultAccess, keyboard.ConfigInterfacePath()));
    clock.Advance(milliseconds(20));
    SendMainLighting(device, pacer, effects, 1);
    ASSERT_EQ(keyboard.Reports().size(), 1u);
    EXPECT_EQ(keyboard.Reports()[0].time - clock.Now(), milliseconds(0));
    EXPECT_EQ(clock.sleeps, std::vector<milliseconds>{milliseconds(80)});
}

TEST_F(LightingTest, StartupLightingIsUntranslatedAndUnpaced) {
    const auto marked = pacer.lastCommandTime();
    MakeStartupLightingTask(device, effects, 20)();
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xFF, 0xFF, 0x14, 0x05, 0x01, 0x00, 0x01}}));
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(pacer.lastCommandTime(), marked);
    MakeStartupLightingTask(device, effects, 30)();
    EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(LightingTest, StartupLightingCarriesTheRecordOfWhenItWasQueued) {
    auto task = MakeStartupLightingTask(device, effects, -1);
    // The UI thread changes the store while the worker sends.
    std::thread worker(task);
    for (int i = 0; i < 1000; ++i) {
        effects.GetEntry(20)->brightness = static_cast<uint8_t>(i % 6);
        effects.GetEntry(20)->selection = static_cast<uint8_t>(1 + i % 3);
    }
    worker.join();
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x07, 0xFF, 0xFF, 0xFF, 0x05, 0x01, 0x00, 0x01}}));
}

}  // namespace
}  // namespace keydeck
