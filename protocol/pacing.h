#pragma once

#include <chrono>

namespace keydeck {

// The monotonic time the pacing rule reads, and the sleep it waits with.
class IMonotonicClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IMonotonicClock() = default;
    virtual TimePoint Now() = 0;
    virtual void SleepFor(std::chrono::milliseconds duration) = 0;
};

class SteadyClock final : public IMonotonicClock {
public:
    TimePoint Now() override;
    void SleepFor(std::chrono::milliseconds duration) override;
};

// Keeps consecutive paced reports at least 100 ms apart; lastCommandTime in
// the window's terms. Used on the UI thread only.
class CommandPacer {
public:
    static constexpr std::chrono::milliseconds kMinimumGap{100};

    explicit CommandPacer(IMonotonicClock& clock);

    // lastCommandTime = now: the first report after this waits up to 100 ms.
    void MarkNow();
    // Sleeps until 100 ms after the last paced report.
    void WaitForTurn();
    // Runs `send` in turn and marks the time afterwards, whatever it gave.
    template <typename Send>
    void Paced(Send&& send) {
        WaitForTurn();
        send();
        MarkNow();
    }

    IMonotonicClock::TimePoint lastCommandTime() const { return lastCommandTime_; }

private:
    IMonotonicClock& clock_;
    IMonotonicClock::TimePoint lastCommandTime_;
};

}  // namespace keydeck
