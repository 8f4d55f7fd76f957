#include "protocol/pacing.h"

#include <gtest/gtest.h>

#include "tests/protocol/fake_clock.h"

namespace keydeck {
namespace {

using std::chrono::milliseconds;

class PacingTest : public ::testing::Test {
protected:
    // Sends one paced report and returns when it left, relative to the start.
    milliseconds Send() {
        milliseconds sentAt{};
        pacer.Paced(
            [&] { sentAt = std::chrono::duration_cast<milliseconds>(clock.Now() - start); });
        return sentAt;
    }

    FakeClock clock;
    IMonotonicClock::TimePoint start = clock.Now();
    CommandPacer pacer{clock};
};

TEST_F(PacingTest, FirstReportWaitsUntil100msAfterTheStart) {
    clock.Advance(milliseconds(30));
    EXPECT_EQ(Send(), milliseconds(100));
    EXPECT_EQ(clock.sleeps, std::vector<milliseconds>{milliseconds(70)});
}

TEST_F(PacingTest, EventsCloseTogetherAreSpacedAndALateOneGoesAtOnce) {
    clock.Advance(milliseconds(500));
    EXPECT_EQ(Send(), milliseconds(500));
    clock.Advance(milliseconds(10));
    EXPECT_EQ(Send(), milliseconds(600));
    clock.Advance(milliseconds(300));
    EXPECT_EQ(Send(), milliseconds(900));
    EXPECT_EQ(clock.sleeps, std::vector<milliseconds>{milliseconds(90)});
}

TEST_F(PacingTest, TheSendTimeCountsWhateverTheSendGave) {
    clock.Advance(milliseconds(200));
    pacer.Paced([&] { clock.Advance(milliseconds(40)); });  // a slow, failed transfer
    EXPECT_EQ(pacer.lastCommandTime(), start + milliseconds(240));
    EXPECT_EQ(Send(), milliseconds(340));
}

TEST_F(PacingTest, MarkNowRestartsTheGap) {
    clock.Advance(milliseconds(1000));
    pacer.MarkNow();
    clock.Advance(milliseconds(1));
    EXPECT_EQ(Send(), milliseconds(1100));
}

TEST(SteadyClock, SleepsAtLeastTheGivenTime) {
    SteadyClock clock;
    const auto before = clock.Now();
    clock.SleepFor(milliseconds(5));
    EXPECT_GE(clock.Now() - before, milliseconds(5));
}

}  // namespace
}  // namespace keydeck
