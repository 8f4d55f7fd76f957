#include "tasks/task_thread.h"

#include <system_error>
#include <utility>

namespace keydeck {

void SleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

TaskThread::TaskThread(SleepFunction sleep) : sleep_(std::move(sleep)) {}

TaskThread::~TaskThread() {
    Stop(true);
    std::lock_guard lock(queueLock_);
    queue_.clear();
    idleCallback_ = nullptr;
    startCallback_ = nullptr;
    exitCallback_ = nullptr;
}

int TaskThread::Start(void* userArgument) {
    std::lock_guard lock(queueLock_);
    if (threadAlive_) return 0;
    // A worker that ended on its own is past its last use of this object.
    if (thread_.joinable()) thread_.join();
    userArgument_ = userArgument;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return 1;
    }
    // The worker reads the token under the lock we hold, so it sees this value.
    runToken_ = thread_.get_id();
    threadAlive_ = true;
    return 0;
}

void TaskThread::SetCallbacks(ThreadCallback idle, ThreadCallback start, ThreadCallback exit) {
    std::lock_guard lock(queueLock_);
    idleCallback_ = std::move(idle);
    startCallback_ = std::move(start);
    exitCallback_ = std::move(exit);
}

void TaskThread::Post(TaskCallback callback, std::int32_t param) {
    std::lock_guard lock(queueLock_);
    DelayedTask task;
    task.delay = static_cast<std::int32_t>(kPostDelay.count());
    task.param = param;
    task.callback = std::move(callback);
    queue_.push_back(std::move(task));
}

bool TaskThread::Stop(bool wait) {
    bool hadThread = false;
    {
        std::lock_guard lock(queueLock_);
        hadThread = threadAlive_;
        if (hadThread) runToken_ = std::thread::id();
    }
    if (wait && thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
    return hadThread;
}

void TaskThread::Run() {
    const std::thread::id self = std::this_thread::get_id();
    void* userArgument = nullptr;
    ThreadCallback start;
    {
        std::lock_guard lock(queueLock_);
        userArgument = userArgument_;
        start = startCallback_;
    }
    if (start) start(userArgument);
    for (;;) {
        std::optional<DelayedTask> task;
        bool stop = false;
        {
            std::lock_guard lock(queueLock_);
            stop = runToken_ != self;
            if (!queue_.empty()) {
                task = std::move(queue_.front());
                queue_.pop_front();
            }
        }
        if (stop) break;
        if (task) {
            sleep_(std::chrono::milliseconds(task->delay));
            if (task->callback) {
                task->callback(userArgument, task->param, task->payload.get(), task->extra);
            }
            task->payload.reset();
        } else {
            sleep_(kIdleSleep);
        }
        ThreadCallback idle;
        {
            std::lock_guard lock(queueLock_);
            idle = idleCallback_;
        }
        if (idle) idle(userArgument);
    }
    ThreadCallback exit;
    {
        std::lock_guard lock(queueLock_);
        exit = exitCallback_;
    }
    if (exit) exit(userArgument);
    std::lock_guard lock(queueLock_);
    threadAlive_ = false;
}

}  // namespace keydeck
