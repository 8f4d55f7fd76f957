#include "device/named_operation_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace keydeck {
namespace {

TEST(NamedLock, IsRecursiveForItsOwner) {
    NamedLock outer("keydeck-test::Recursive");
    EXPECT_TRUE(outer.Held());
    NamedLock inner("keydeck-test::Recursive");
    EXPECT_TRUE(inner.Held());
}

TEST(NamedLock, ExcludesAnotherThreadUntilReleased) {
    std::atomic<bool> acquired{false};
    std::promise<void> holding;
    std::promise<void> release;
    std::thread owner([&] {
        NamedLock lock("keydeck-test::Exclusive");
        holding.set_value();
        release.get_future().wait();
    });
    holding.get_future().wait();
    std::thread waiter([&] {
        NamedLock lock("keydeck-test::Exclusive");
        acquired = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(acquired.load());
    release.set_value();
    owner.join();
    waiter.join();
    EXPECT_TRUE(acquired.load());
}

TEST(NamedLock, DifferentNamesDoNotExcludeEachOther) {
    NamedLock set(kLockSetFeature);
    auto other = std::async(std::launch::async, [] {
        NamedOperationLock get(kLockGetFeature);
        return true;
    });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

}  // namespace
}  // namespace keydeck
