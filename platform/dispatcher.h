#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace keydeck {

// Carries work onto the UI thread. The Qt layer implements it with the event
// loop; tests and the demo use QueueDispatcher and pump it themselves.
class IDispatcher {
public:
    virtual ~IDispatcher() = default;
    // Runs fn on the UI thread later; never blocks.
    virtual void Post(std::function<void()> fn) = 0;
    // Runs fn on the UI thread and waits for it at most `timeout`. Returns false
    // when it did not finish in time; fn may still run later, so it must own
    // whatever it touches.
    virtual bool CallAndWait(std::function<void()> fn, std::chrono::milliseconds timeout) = 0;
    // True on the thread that runs posted work.
    virtual bool IsUiThread() const = 0;
};

// A plain queue: the thread that calls RunPending/RunFor is the UI thread.
class QueueDispatcher final : public IDispatcher {
public:
    QueueDispatcher();
    void Post(std::function<void()> fn) override;
    bool CallAndWait(std::function<void()> fn, std::chrono::milliseconds timeout) override;
    bool IsUiThread() const override;

    // Runs everything queued so far (and what that queues); returns the count.
    int RunPending();
    // Runs work as it arrives until `duration` has passed or `until` holds.
    void RunFor(std::chrono::milliseconds duration, const std::function<bool()>& until = {});
    // Makes the calling thread the UI thread.
    void BindToCurrentThread();

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    std::thread::id uiThread_;
};

}  // namespace keydeck
