#pragma once

#include <QObject>
#include <QTimer>
#include <vector>

namespace keydeck {

// Called once per timeline tick.
class ITimelineHandler {
public:
    virtual ~ITimelineHandler() = default;
    virtual void OnNextFrame() = 0;
};

// The framework's animation clock: one tick every kTickMs while running.
// Tests drive it with Tick() instead of Start().
class Timeline : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 10;

    explicit Timeline(QObject* parent = nullptr);
    void Register(ITimelineHandler* handler);
    void Unregister(ITimelineHandler* handler);
    bool IsRegistered(const ITimelineHandler* handler) const;
    // Delivers one tick to every handler registered at the time of the call.
    void Tick();
    void Start();
    void Stop();

private:
    QTimer timer_;
    std::vector<ITimelineHandler*> handlers_;
};

}  // namespace keydeck
