#include "tasks/task_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace keydeck {
namespace {

using namespace std::chrono_literals;

// Records what the worker does, in order; sleeps return at once unless a sleep
// of `holdDelay` is held back until Release().
class Script {
public:
    void Add(const std::string& entry) {
        std::lock_guard lock(mutex_);
        log_.push_back(entry);
        changed_.notify_all();
    }
    std::vector<std::string> Log() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    // Waits (generously) until `count` entries equal to `entry` are logged.
    bool WaitFor(const std::string& entry, int count = 1) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(
            lock, 10s, [&] { return std::count(log_.begin(), log_.end(), entry) >= count; });
    }
    SleepFunction Sleeper(std::chrono::milliseconds holdDelay = -1ms) {
        return [this, holdDelay](std::chrono::milliseconds d) {
            Add("sleep " + std::to_string(d.count()));
            if (d == holdDelay) {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return released_; });
            }
            std::this_thread::yield();
        };
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> log_;
    bool released_ = false;
};

TaskCallback LogTask(Script& script, const std::string& name) {
    return [&script, name](void*, std::int32_t param, TaskPayload* payload, std::int32_t extra) {
        script.Add(name + " " + std::to_string(param) + (payload ? " payload" : "") + " " +
                   std::to_string(extra));
    };
}

// The log without idle sleeps and idle calls, which depend on scheduling.
std::vector<std::string> Essentials(const std::vector<std::string>& log) {
    std::vector<std::string> out;
    for (const auto& e : log) {
        if (e != "sleep 1" && e != "idle") out.push_back(e);
    }
    return out;
}

TEST(TaskThreadTest, PostBeforeStartRunsAfterTheFixedDelay) {
    Script script;
    TaskThread thread(script.Sleeper());
    thread.Post(LogTask(script, "task"), 7);
    ASSERT_EQ(thread.Start(nullptr), 0);
    ASSERT_TRUE(script.WaitFor("task 7 0"));
    EXPECT_TRUE(thread.Stop(true));
    const auto log = script.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "sleep 2000");
    EXPECT_EQ(log[1], "task 7 0");
}

TEST(TaskThreadTest, TasksRunInOrderEachAfterItsOwnDelayThenIdle) {
    Script script;
    TaskThread thread(script.Sleeper());
    int idleCalls = 0;
    void* seen = nullptr;
    int owner = 0;
    thread.SetCallbacks(
        [&](void* arg) {
            seen = arg;
            ++idleCalls;
            script.Add("idle");
        },
        nullptr, nullptr);
    thread.Post(LogTask(script, "first"), 1);
    thread.Post(LogTask(script, "second"), 2);
    ASSERT_EQ(thread.Start(&owner), 0);
    ASSERT_TRUE(script.WaitFor("second 2 0"));
    ASSERT_TRUE(script.WaitFor("idle", 3));
    thread.Stop(true);
    EXPECT_EQ(seen, &owner);
    const auto log = script.Log();
    // Each task is followed by one idle call before the next turn.
    const std::vector<std::string> head(log.begin(), log.begin() + 6);
    EXPECT_EQ(head, (std::vector<std::string>{"sleep 2000", "first 1 0", "idle", "sleep 2000",
                                              "second 2 0", "idle"}));
    // Without tasks a turn is one 1 ms sleep and one idle call.
    for (std::size_t i = 6; i + 1 < log.size(); i += 2) {
        EXPECT_EQ(log[i], "sleep 1");
        EXPECT_EQ(log[i + 1], "idle");
    }
}

TEST(TaskThreadTest, StopWhileATaskSleepsLetsItRunThenOneIdleCallThenEnds) {
    Script script;
    TaskThread thread(script.Sleeper(2000ms));
    thread.SetCallbacks([&](void*) { script.Add("idle"); }, [&](void*) { script.Add("start"); },
                        [&](void*) { script.Add("exit"); });
    thread.Post(LogTask(script, "task"), 3);
    thread.Post(LogTask(script, "dropped"), 4);
    ASSERT_EQ(thread.Start(nullptr), 0);
    ASSERT_TRUE(script.WaitFor("sleep 2000"));
    EXPECT_TRUE(thread.Stop(false));  // does not wait for the sleeping task
    script.Release();
    ASSERT_TRUE(script.WaitFor("exit"));
    thread.Stop(true);
    EXPECT_EQ(script.Log(),
              (std::vector<std::string>{"start", "sleep 2000", "task 3 0", "idle", "exit"}));
    // The thread has ended: a further Stop finds none.
    EXPECT_FALSE(thread.Stop(true));
}

TEST(TaskThreadTest, StopWithoutThreadReturnsFalse) {
    Script script;
    TaskThread thread(script.Sleeper());
    EXPECT_FALSE(thread.Stop(false));
    EXPECT_FALSE(thread.Stop(true));
    // Nothing changed: a later start still runs the worker.
    thread.SetCallbacks(
        nullptr, [&](void*) { script.Add("start"); }, nullptr);
    ASSERT_EQ(thread.Start(nullptr), 0);
    EXPECT_TRUE(script.WaitFor("start"));
    EXPECT_TRUE(thread.Stop(true));
}

TEST(TaskThreadTest, WithoutIdleCallbackTheLoopOnlySleepsAndRunsTasks) {
    Script script;
    TaskThread thread(script.Sleeper());
    thread.Post(LogTask(script, "task"), 5);
    ASSERT_EQ(thread.Start(nullptr), 0);
    ASSERT_TRUE(script.WaitFor("task 5 0"));
    ASSERT_TRUE(script.WaitFor("sleep 1", 3));
    thread.Stop(true);
    EXPECT_EQ(Essentials(script.Log()), (std::vector<std::string>{"sleep 2000", "task 5 0"}));
}

TEST(TaskThreadTest, SecondStartWhileRunningDoesNothing) {
    Script script;
    TaskThread thread(script.Sleeper());
    thread.SetCallbacks(
        nullptr, [&](void*) { script.Add("start"); }, nullptr);
    ASSERT_EQ(thread.Start(nullptr), 0);
    EXPECT_EQ(thread.Start(nullptr), 0);
    ASSERT_TRUE(script.WaitFor("start"));
    ASSERT_TRUE(script.WaitFor("sleep 1", 3));
    thread.Stop(true);
    const auto log = script.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "start"), 1);
}

TEST(TaskThreadTest, StartsAgainAfterTheThreadEnded) {
    Script script;
    TaskThread thread(script.Sleeper());
    thread.SetCallbacks(nullptr, nullptr, [&](void*) { script.Add("exit"); });
    ASSERT_EQ(thread.Start(nullptr), 0);
    thread.Stop(false);
    ASSERT_TRUE(script.WaitFor("exit"));
    // Once the worker has passed its end the object has no thread any more.
    for (int i = 0; i < 1000 && thread.Stop(false); ++i) std::this_thread::sleep_for(1ms);
    thread.Post(LogTask(script, "again"), 9);
    ASSERT_EQ(thread.Start(nullptr), 0);
    EXPECT_TRUE(script.WaitFor("again 9 0"));
    thread.Stop(true);
    EXPECT_TRUE(script.WaitFor("exit", 2));
}

TEST(TaskThreadTest, DestructionStopsTheWorkerAndDropsQueuedTasksUncalled) {
    Script script;
    std::atomic<int> idleCalls{0};
    {
        TaskThread thread(script.Sleeper(2000ms));
        thread.SetCallbacks([&](void*) { ++idleCalls; }, nullptr, nullptr);
        thread.Post(LogTask(script, "running"), 1);
        thread.Post(LogTask(script, "never"), 2);
        ASSERT_EQ(thread.Start(nullptr), 0);
        ASSERT_TRUE(script.WaitFor("sleep 2000"));
        script.Release();
    }  // joins the worker
    const auto log = script.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "never 2 0"), 0);
    const int after = idleCalls.load();
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(idleCalls.load(), after);
}

TEST(TaskThreadTest, RealClockPausesAtLeastTheIdleSleepPerTurn) {
    TaskThread thread;
    std::mutex m;
    std::vector<std::chrono::steady_clock::time_point> calls;
    thread.SetCallbacks(
        [&](void*) {
            std::lock_guard lock(m);
            calls.push_back(std::chrono::steady_clock::now());
        },
        nullptr, nullptr);
    ASSERT_EQ(thread.Start(nullptr), 0);
    std::this_thread::sleep_for(50ms);
    thread.Stop(true);
    ASSERT_GE(calls.size(), 2u);
    for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_GE(calls[i] - calls[i - 1], 1ms);
}

}  // namespace
}  // namespace keydeck
