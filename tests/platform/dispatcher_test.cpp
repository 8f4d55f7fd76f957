#include "platform/dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace keydeck {
namespace {

TEST(QueueDispatcher, RunsPostedWorkInOrderOnTheUiThread) {
    QueueDispatcher d;
    std::vector<int> order;
    std::thread worker([&] {
        EXPECT_FALSE(d.IsUiThread());
        for (int i = 0; i < 3; ++i) d.Post([&order, i] { order.push_back(i); });
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(d.RunPending(), 3);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(QueueDispatcher, CallAndWaitReturnsWhenTheUiThreadRanIt) {
    QueueDispatcher d;
    std::atomic<bool> ran{false}, answered{false};
    std::thread worker([&] {
        answered = d.CallAndWait([&] { ran = true; }, std::chrono::seconds(10));
    });
    d.RunFor(std::chrono::seconds(10), [&] { return ran.load(); });
    worker.join();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(answered);
}

TEST(QueueDispatcher, CallAndWaitTimesOutWhenTheUiThreadIsBusy) {
    QueueDispatcher d;
    bool answered = true;
    std::thread worker([&] { answered = d.CallAndWait([] {}, std::chrono::milliseconds(20)); });
    worker.join();
    EXPECT_FALSE(answered);
    EXPECT_EQ(d.RunPending(), 1);  // the late call still runs, harmlessly
}

TEST(QueueDispatcher, CallAndWaitOnTheUiThreadRunsAtOnce) {
    QueueDispatcher d;
    bool ran = false;
    EXPECT_TRUE(d.CallAndWait([&] { ran = true; }, std::chrono::milliseconds(0)));
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace keydeck
