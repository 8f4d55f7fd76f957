#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>

#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

// Each test its own runtime folder, so nothing meets a running KeyDeck.
class SingleInstanceTest : public ::testing::Test {
protected:
    QProcessEnvironment Environment() const {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(dir_.path().string()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }
    void Start(QProcess& process, const char* program, const QStringList& args) {
        process.setProcessEnvironment(Environment());
        process.start(QString::fromLatin1(program), args);
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    TempDir dir_;
};

TEST_F(SingleInstanceTest, SecondProcessAsksTheFirstToShowAndEnds) {
    QProcess first;
    Start(first, KEYDECK_PROBE, {QStringLiteral("probe.name"), QStringLiteral("20")});
    ASSERT_TRUE(first.waitForReadyRead(10000));
    ASSERT_EQ(first.readLine().trimmed(), "first");

    QProcess second;
    Start(second, KEYDECK_PROBE, {QStringLiteral("probe.name"), QStringLiteral("20")});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.readAllStandardOutput().trimmed(), "second");
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(first.readAllStandardOutput().trimmed(), "shown");
}

TEST_F(SingleInstanceTest, TheNameIsFreeAgainWhenTheFirstEnds) {
    for (int run = 0; run < 2; ++run) {
        QProcess probe;
        Start(probe, KEYDECK_PROBE, {QStringLiteral("probe.again"), QStringLiteral("0")});
        ASSERT_TRUE(probe.waitForFinished(10000));
        EXPECT_TRUE(probe.readAllStandardOutput().startsWith("first")) << run;
    }
}

TEST_F(SingleInstanceTest, SecondKeyDeckExitsWithZeroAndTheFirstKeepsRunning) {
    QProcess first;
    Start(first, KEYDECK_BINARY, {QStringLiteral("-hid")});
    // The first holds the name once its show-request socket exists.
    const auto socketSeen = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            if (entry.path().extension() == ".sock") return true;
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!socketSeen() && std::chrono::steady_clock::now() < deadline) {
        first.waitForFinished(50);
    }
    ASSERT_TRUE(socketSeen());
    QProcess second;
    Start(second, KEYDECK_BINARY, {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    first.waitForFinished(10000);
}

}  // namespace
}  // namespace keydeck
