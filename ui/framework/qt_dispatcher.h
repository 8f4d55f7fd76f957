#pragma once

#include <QObject>
#include <QPointer>

#include "platform/dispatcher.h"

namespace keydeck {

// Runs posted work on the thread of `context` (the UI thread) through Qt's
// event loop.
class QtDispatcher final : public IDispatcher {
public:
    explicit QtDispatcher(QObject* context);
    void Post(std::function<void()> fn) override;
    bool CallAndWait(std::function<void()> fn, std::chrono::milliseconds timeout) override;
    bool IsUiThread() const override;

private:
    QPointer<QObject> context_;
};

}  // namespace keydeck
