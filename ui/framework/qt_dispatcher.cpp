#include "ui/framework/qt_dispatcher.h"

#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace keydeck {

QtDispatcher::QtDispatcher(QObject* context) : context_(context) {}

void QtDispatcher::Post(std::function<void()> fn) {
    if (context_ == nullptr || !fn) return;
    QMetaObject::invokeMethod(context_.data(), std::move(fn), Qt::QueuedConnection);
}

bool QtDispatcher::CallAndWait(std::function<void()> fn, std::chrono::milliseconds timeout) {
    if (!fn) return true;
    if (IsUiThread()) {
        fn();
        return true;
    }
    // Shared with the queued call, which may outlive this wait on a time-out.
    struct State {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };
    auto state = std::make_shared<State>();
    Post([state, fn = std::move(fn)] {
        fn();
        std::lock_guard lock(state->mutex);
        state->finished = true;
        state->done.notify_all();
    });
    std::unique_lock lock(state->mutex);
    return state->done.wait_for(lock, timeout, [&] { return state->finished; });
}

bool QtDispatcher::IsUiThread() const {
    return context_ != nullptr && QThread::currentThread() == context_->thread();
}

}  // namespace keydeck
