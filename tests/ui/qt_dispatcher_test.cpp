#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "ui/framework/qt_dispatcher.h"

namespace keydeck {
namespace {

void PumpUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000) QCoreApplication::processEvents();
}

TEST(QtDispatcherTest, PostAndCallAndWaitRunOnTheUiThread) {
    QtDispatcher dispatcher(QCoreApplication::instance());
    EXPECT_TRUE(dispatcher.IsUiThread());
    std::atomic<bool> ranOnUi{false};
    std::atomic<bool> answered{false};
    std::atomic<bool> result{false};
    std::thread worker([&] {
        EXPECT_FALSE(dispatcher.IsUiThread());
        result = dispatcher.CallAndWait([&] { ranOnUi = dispatcher.IsUiThread(); },
                                        std::chrono::seconds(10));
        answered = true;
    });
    PumpUntil([&] { return answered.load(); });
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_TRUE(ranOnUi);

    int posted = 0;
    dispatcher.Post([&] { ++posted; });
    EXPECT_EQ(posted, 0);  // later, never inline
    PumpUntil([&] { return posted == 1; });
    EXPECT_EQ(posted, 1);
}

TEST(QtDispatcherTest, CallAndWaitGivesUpWhenTheUiThreadDoesNotAnswer) {
    QtDispatcher dispatcher(QCoreApplication::instance());
    auto ran = std::make_shared<std::atomic<bool>>(false);
    bool result = true;
    std::thread worker([&] {
        result = dispatcher.CallAndWait([ran] { *ran = true; }, std::chrono::milliseconds(50));
    });
    worker.join();  // the UI thread pumps nothing meanwhile
    EXPECT_FALSE(result);
    PumpUntil([&] { return ran->load(); });  // the late call still runs, safely
    EXPECT_TRUE(*ran);
}

}  // namespace
}  // namespace keydeck
