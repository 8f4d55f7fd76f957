#pragma once

#include <chrono>
#include <vector>

#include "protocol/pacing.h"

namespace keydeck {

// Time moves only when a test advances it or something sleeps.
class FakeClock final : public IMonotonicClock {
public:
    TimePoint Now() override { return now_; }
    void SleepFor(std::chrono::milliseconds duration) override {
        sleeps.push_back(duration);
        now_ += duration;
    }
    void Advance(std::chrono::milliseconds duration) { now_ += duration; }

    std::vector<std::chrono::milliseconds> sleeps;

private:
    TimePoint now_{std::chrono::hours(1)};
};

}  // namespace keydeck
