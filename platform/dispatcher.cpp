#include "platform/dispatcher.h"

#include <memory>
#include <thread>

namespace keydeck {

QueueDispatcher::QueueDispatcher() : uiThread_(std::this_thread::get_id()) {}

void QueueDispatcher::BindToCurrentThread() {
    std::lock_guard lock(mutex_);
    uiThread_ = std::this_thread::get_id();
}

bool QueueDispatcher::IsUiThread() const {
    std::lock_guard lock(mutex_);
    return uiThread_ == std::this_thread::get_id();
}

void QueueDispatcher::Post(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(fn));
    }
    wake_.notify_all();
}

bool QueueDispatcher::CallAndWait(std::function<void()> fn, std::chrono::milliseconds timeout) {
    if (IsUiThread()) {
        fn();
        return true;
    }
    struct Done {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    Post([fn = std::move(fn), done] {
        fn();
        {
            std::lock_guard lock(done->m);
            done->done = true;
        }
        done->cv.notify_all();
    });
    std::unique_lock lock(done->m);
    return done->cv.wait_for(lock, timeout, [&] { return done->done; });
}

int QueueDispatcher::RunPending() {
    int count = 0;
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return count;
            fn = std::move(queue_.front());
            queue_.pop_front();
        }
        fn();
        ++count;
    }
}

void QueueDispatcher::RunFor(std::chrono::milliseconds duration, const std::function<bool()>& until) {
    const auto end = std::chrono::steady_clock::now() + duration;
    for (;;) {
        RunPending();
        if (until && until()) return;
        std::unique_lock lock(mutex_);
        if (!wake_.wait_until(lock, end, [&] { return !queue_.empty(); })) return;
    }
}

}  // namespace keydeck
