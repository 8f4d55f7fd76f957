#include "protocol/pacing.h"

#include <thread>

namespace keydeck {

SteadyClock::TimePoint SteadyClock::Now() {
    return std::chrono::steady_clock::now();
}

void SteadyClock::SleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

CommandPacer::CommandPacer(IMonotonicClock& clock) : clock_(clock), lastCommandTime_(clock.Now()) {}

void CommandPacer::MarkNow() {
    lastCommandTime_ = clock_.Now();
}

void CommandPacer::WaitForTurn() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(clock_.Now() - lastCommandTime_);
    if (elapsed < kMinimumGap) clock_.SleepFor(kMinimumGap - elapsed);
}

}  // namespace keydeck
