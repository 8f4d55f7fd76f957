#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace keydeck {

// Sleeps the calling thread; tests replace it to run the loop without waiting.
using SleepFunction = std::function<void(std::chrono::milliseconds)>;
void SleepFor(std::chrono::milliseconds duration);

// Owned by a task and freed after its call.
class TaskPayload {
public:
    virtual ~TaskPayload() = default;
};

// A delayed callback: (user argument, param, payload, extra).
using TaskCallback = std::function<void(void* userArgument, std::int32_t param,
                                        TaskPayload* payload, std::int32_t extra)>;
// The idle, start and exit callbacks take the user argument only.
using ThreadCallback = std::function<void(void* userArgument)>;

struct DelayedTask {
    std::int32_t delay = 0;
    std::int32_t param = 0;
    std::unique_ptr<TaskPayload> payload;
    std::int32_t extra = 0;
    TaskCallback callback;
};

// One worker thread that runs delayed tasks one after another and calls an idle
// callback after every turn of its loop (a task with its delay, or 1 ms of sleep).
class TaskThread {
public:
    static constexpr std::chrono::milliseconds kPostDelay{2000};
    static constexpr std::chrono::milliseconds kIdleSleep{1};

    explicit TaskThread(SleepFunction sleep = SleepFor);
    ~TaskThread();
    TaskThread(const TaskThread&) = delete;
    TaskThread& operator=(const TaskThread&) = delete;

    // 0 when a thread runs afterwards, 1 when it could not be created.
    int Start(void* userArgument);
    void SetCallbacks(ThreadCallback idle, ThreadCallback start, ThreadCallback exit);
    // Queues `callback` to run 2000 ms after the worker takes it.
    void Post(TaskCallback callback, std::int32_t param);
    // Asks the worker to end at the start of its next turn; with `wait`, joins it.
    // True when a thread existed.
    bool Stop(bool wait);

    // The owner's lock for its own data shared with the worker.
    std::recursive_mutex& KeyStepLock() { return keyStepLock_; }

private:
    void Run();

    SleepFunction sleep_;
    void* userArgument_ = nullptr;
    std::recursive_mutex queueLock_;
    std::recursive_mutex keyStepLock_;
    std::thread::id runToken_;
    bool threadAlive_ = false;  // the worker has not yet passed its end
    std::thread thread_;        // touched by the owner's thread only
    ThreadCallback idleCallback_;
    ThreadCallback startCallback_;
    ThreadCallback exitCallback_;
    std::deque<DelayedTask> queue_;
};

}  // namespace keydeck
