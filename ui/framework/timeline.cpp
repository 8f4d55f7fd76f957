#include "ui/framework/timeline.h"

#include <algorithm>

namespace keydeck {

Timeline::Timeline(QObject* parent) : QObject(parent) {
    timer_.setInterval(kTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timeline::Tick);
}

void Timeline::Register(ITimelineHandler* handler) {
    if (handler != nullptr && !IsRegistered(handler)) handlers_.push_back(handler);
}

void Timeline::Unregister(ITimelineHandler* handler) {
    std::erase(handlers_, handler);
}

bool Timeline::IsRegistered(const ITimelineHandler* handler) const {
    return std::find(handlers_.begin(), handlers_.end(), handler) != handlers_.end();
}

void Timeline::Tick() {
    // A handler may unregister itself or others while being called.
    const auto snapshot = handlers_;
    for (auto* handler : snapshot) {
        if (IsRegistered(handler)) handler->OnNextFrame();
    }
}

void Timeline::Start() {
    timer_.start();
}
void Timeline::Stop() {
    timer_.stop();
}

}  // namespace keydeck
