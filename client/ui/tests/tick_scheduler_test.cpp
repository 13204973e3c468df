// The station's tick scheduler: a ready socket wakes it at once, a named
// moment on time, nothing within a second, and a socket that stays ready no
// more often than every 10 ms.
#include "tick_scheduler.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono_literals;

class TickSchedulerTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_) == 0); }
    void cleanup()
    {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }

    void aReadySocketWakesAtOnce()
    {
        client::ui::TickScheduler scheduler;
        QSignalSpy due(&scheduler, &client::ui::TickScheduler::due);
        client::LinkWake wake;
        wake.socket = fds_[0];
        scheduler.arm(wake);
        QTest::qWait(50);
        QCOMPARE(due.count(), 0); // quiet socket, no moment: nothing yet
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(::write(fds_[1], "x", 1), 1);
        QVERIFY(due.wait(500));
        QVERIFY(clock.elapsed() < 100);
    }

    void aNamedMomentIsKeptAndNothingWaitsASecond()
    {
        client::ui::TickScheduler scheduler;
        QSignalSpy due(&scheduler, &client::ui::TickScheduler::due);
        client::LinkWake wake;
        wake.at = std::chrono::steady_clock::now() + 200ms;
        QElapsedTimer clock;
        clock.start();
        scheduler.arm(wake);
        QVERIFY(due.wait(1000));
        QVERIFY(clock.elapsed() >= 190);
        QVERIFY(clock.elapsed() < 600);

        clock.restart();
        scheduler.arm({});
        QVERIFY(due.wait(3000));
        QVERIFY(clock.elapsed() >= 950);
    }

    void aSocketThatStaysReadyKeepsTheTimersPace()
    {
        client::ui::TickScheduler scheduler;
        client::LinkWake wake;
        wake.socket = fds_[0];
        int ticks = 0;
        connect(&scheduler, &client::ui::TickScheduler::due, this, [&] {
            ++ticks;
            scheduler.arm(wake); // the data is never taken
        });
        QCOMPARE(::write(fds_[1], "x", 1), 1);
        scheduler.arm(wake);
        QTest::qWait(300);
        QVERIFY(ticks >= 10);
        QVERIFY(ticks <= 32);
        scheduler.stop();
    }

private:
    int fds_[2] = {-1, -1};
};

QTEST_MAIN(TickSchedulerTest)
#include "tick_scheduler_test.moc"
