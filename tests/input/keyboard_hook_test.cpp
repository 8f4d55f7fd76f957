#include "input/keyboard_hook.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_input.h"

namespace keydeck {
namespace {

class RecordingListener final : public IKeyboardHookListener {
public:
    RecordingListener(std::vector<std::string>& calls, std::string name, bool swallow)
        : calls_(calls), name_(std::move(name)), swallow_(swallow) {}
    bool OnHookEvent(int& hookCode, std::uint32_t& message, KeyboardHookEvent& event) override {
        calls_.push_back(name_ + ":" + std::to_string(event.vkCode));
        if (change) {
            hookCode = 3;
            message = kWmKeyUp;
            event.vkCode = 0x42;
        }
        return swallow_;
    }
    bool change = false;

private:
    std::vector<std::string>& calls_;
    std::string name_;
    bool swallow_;
};

class KeyboardHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto sim = std::make_unique<SimKeyboardHook>();
        sim_ = sim.get();
        ASSERT_TRUE(hook_.Install(std::move(sim)));
    }
    bool Press(std::uint32_t vk) {
        KeyboardHookEvent event;
        event.vkCode = vk;
        return sim_->Feed(kWmKeyDown, event);
    }

    KeyboardHook hook_;
    SimKeyboardHook* sim_ = nullptr;
    std::vector<std::string> calls_;
};

TEST_F(KeyboardHookTest, WithoutListenersEveryEventPassesUnchanged) {
    EXPECT_FALSE(Press(0x41));
    ASSERT_EQ(sim_->passed().size(), 1u);
    EXPECT_EQ(sim_->passed()[0].event.vkCode, 0x41u);
    EXPECT_EQ(sim_->passed()[0].message, kWmKeyDown);
}

TEST_F(KeyboardHookTest, ListenerRegisteredTwiceIsCalledOnce) {
    RecordingListener a(calls_, "a", false);
    EXPECT_TRUE(hook_.AddListener(&a));
    EXPECT_TRUE(hook_.AddListener(&a));
    EXPECT_FALSE(Press(0x41));
    EXPECT_EQ(calls_, (std::vector<std::string>{"a:65"}));
}

TEST_F(KeyboardHookTest, ListenersAreAskedInOrderAndTheFirstSwallowerEndsTheWalk) {
    RecordingListener a(calls_, "a", false);
    RecordingListener b(calls_, "b", true);
    RecordingListener c(calls_, "c", false);
    ASSERT_TRUE(hook_.AddListener(&a));
    ASSERT_TRUE(hook_.AddListener(&b));
    ASSERT_TRUE(hook_.AddListener(&c));
    EXPECT_TRUE(Press(0x41));
    EXPECT_EQ(calls_, (std::vector<std::string>{"a:65", "b:65"}));
    EXPECT_TRUE(sim_->passed().empty());
}

TEST_F(KeyboardHookTest, ChangesOfAListenerReachTheNextListenerAndTheSystem) {
    RecordingListener a(calls_, "a", false);
    RecordingListener b(calls_, "b", false);
    a.change = true;
    ASSERT_TRUE(hook_.AddListener(&a));
    ASSERT_TRUE(hook_.AddListener(&b));
    EXPECT_FALSE(Press(0x41));
    EXPECT_EQ(calls_, (std::vector<std::string>{"a:65", "b:66"}));
    ASSERT_EQ(sim_->passed().size(), 1u);
    EXPECT_EQ(sim_->passed()[0].hookCode, 3);
    EXPECT_EQ(sim_->passed()[0].message, kWmKeyUp);
    EXPECT_EQ(sim_->passed()[0].event.vkCode, 0x42u);
}

TEST_F(KeyboardHookTest, RemovingTakesEveryOccurrenceAndAnUnknownListenerIsFine) {
    RecordingListener a(calls_, "a", true);
    RecordingListener b(calls_, "b", false);
    ASSERT_TRUE(hook_.AddListener(&a));
    EXPECT_TRUE(hook_.RemoveListener(&b));  // not registered: nothing changes
    EXPECT_TRUE(Press(0x41));
    EXPECT_TRUE(hook_.RemoveListener(&a));
    EXPECT_FALSE(Press(0x41));
    EXPECT_EQ(calls_, (std::vector<std::string>{"a:65"}));
}

TEST_F(KeyboardHookTest, NullListenerIsRefused) {
    EXPECT_FALSE(hook_.AddListener(nullptr));
    EXPECT_FALSE(hook_.RemoveListener(nullptr));
}

TEST_F(KeyboardHookTest, ASecondInstallKeepsTheFirstHook) {
    EXPECT_TRUE(hook_.Install(std::make_unique<SimKeyboardHook>()));
    RecordingListener a(calls_, "a", true);
    ASSERT_TRUE(hook_.AddListener(&a));
    EXPECT_TRUE(Press(0x41));
}

TEST(KeyboardHookInstallTest, FailedInstallationRegistersNoListenerAndCallsNone) {
    KeyboardHook hook;
    EXPECT_FALSE(hook.Install(std::make_unique<SimKeyboardHook>(false)));
    EXPECT_FALSE(hook.Install(nullptr));
    EXPECT_FALSE(hook.IsInstalled());
    std::vector<std::string> calls;
    RecordingListener a(calls, "a", true);
    EXPECT_FALSE(hook.AddListener(&a));
    EXPECT_FALSE(hook.RemoveListener(&a));
    int code = 0;
    std::uint32_t message = kWmKeyDown;
    KeyboardHookEvent event;
    EXPECT_FALSE(hook.Proc(code, message, event));
    EXPECT_TRUE(calls.empty());
}

TEST(KeyboardHookInstallTest, ProcessWideModuleDeliversThroughKeyboardHookProc) {
    EXPECT_FALSE(AddHookListener(nullptr));
    auto sim = std::make_unique<SimKeyboardHook>();
    SimKeyboardHook* feed = sim.get();
    ASSERT_TRUE(InstallKeyboardHook(std::move(sim)));
    EXPECT_TRUE(IsKeyboardHookInstalled());
    std::vector<std::string> calls;
    RecordingListener a(calls, "a", true);
    ASSERT_TRUE(AddHookListener(&a));
    KeyboardHookEvent event;
    event.vkCode = 0x20;
    EXPECT_TRUE(feed->Feed(kWmKeyDown, event));
    int code = 0;
    std::uint32_t message = kWmKeyUp;
    EXPECT_TRUE(KeyboardHookProc(code, message, event));
    EXPECT_EQ(calls, (std::vector<std::string>{"a:32", "a:32"}));
    EXPECT_TRUE(RemoveHookListener(&a));
    ShutdownKeyboardHook();
    EXPECT_FALSE(IsKeyboardHookInstalled());
}

}  // namespace
}  // namespace keydeck
