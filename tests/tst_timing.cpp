#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <ctime>

#include "common/RuntimeError.h"
#include "timing/clsTimeCount.h"
#include "timing/clsWaitableTimer.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

class TestTiming : public QObject {
    Q_OBJECT

private slots:
    void timeCountOnAnInjectedClock_data();
    void timeCountOnAnInjectedClock();
    void timeCountOnTheSystemClock();
    void waitLastsAtLeastItsTime();
    void waitDispatchesEventsMeanwhile();
    void nestedWaitsEachEndAfterTheirOwnTime();
    void waitSleepsInsteadOfSpinning();
    void waitWithoutTimeIsOneMessagePass_data();
    void waitWithoutTimeIsOneMessagePass();
    void waitErrorsCarryThePrefix();
};

void TestTiming::timeCountOnAnInjectedClock_data() {
    QTest::addColumn<QList<qint32>>("marks");
    QTest::addColumn<qint32>("now");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("before any Mark") << QList<qint32>{} << qint32(123456) << qint32(123456);
    QTest::newRow("before any Mark, negative tick") << QList<qint32>{} << qint32(-7) << qint32(-7);
    QTest::newRow("plain") << QList<qint32>{1000} << qint32(2500) << qint32(1500);
    QTest::newRow("no time passed") << QList<qint32>{42} << qint32(42) << qint32(0);
    QTest::newRow("second Mark restarts") << QList<qint32>{100, 400} << qint32(1000) << qint32(600);
    QTest::newRow("across 2147483647 to -2147483648")
        << QList<qint32>{2147483000} << qint32(-2147483000) << qint32(1296);
    QTest::newRow("across -1 to 0") << QList<qint32>{-100} << qint32(50) << qint32(150);
}

void TestTiming::timeCountOnAnInjectedClock() {
    QFETCH(QList<qint32>, marks);
    QFETCH(qint32, now);
    QFETCH(qint32, expected);
    qint32 tick = 0;
    clsTimeCount counter([&tick] { return tick; });
    for (const qint32 mark : marks) {
        tick = mark;
        counter.Mark();
    }
    tick = now;
    QCOMPARE(counter.TimeCount(), expected);
    QCOMPARE(counter.TimeCount(), expected);
}

void TestTiming::timeCountOnTheSystemClock() {
    clsTimeCount counter;
    counter.Mark();
    const qint32 atOnce = counter.TimeCount();
    QVERIFY2(atOnce >= 0 && atOnce < 1000, qPrintable(QString::number(atOnce)));
    QTest::qSleep(30);
    QVERIFY(counter.TimeCount() >= 30);
}

void TestTiming::waitLastsAtLeastItsTime() {
    clsWaitableTimer timer;
    for (const qint32 ms : {1, 37, 100}) {
        QElapsedTimer clock;
        clock.start();
        timer.Wait(ms);
        QVERIFY2(clock.elapsed() >= ms, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!timer.isWaiting());
    }
}

void TestTiming::waitDispatchesEventsMeanwhile() {
    clsWaitableTimer timer;
    bool timerRan = false;
    bool invocationRan = false;
    bool waitingDuringEvents = false;
    QTimer::singleShot(20, [&] { timerRan = true; });
    QMetaObject::invokeMethod(
        this,
        [&] {
            invocationRan = true;
            waitingDuringEvents = timer.isWaiting();
        },
        Qt::QueuedConnection);
    timer.Wait(100);
    QVERIFY(timerRan);
    QVERIFY(invocationRan);
    QVERIFY(waitingDuringEvents);
    QVERIFY(!timer.isWaiting());
}

void TestTiming::nestedWaitsEachEndAfterTheirOwnTime() {
    clsWaitableTimer timer;
    QElapsedTimer clock;
    qint64 innerStart = -1;
    qint64 innerEnd = -1;
    QTimer::singleShot(30, [&] {
        innerStart = clock.elapsed();
        timer.Wait(150);
        innerEnd = clock.elapsed();
    });
    clock.start();
    timer.Wait(100);
    const qint64 outerEnd = clock.elapsed();
    QVERIFY(innerStart >= 0 && innerEnd >= 0);
    QVERIFY(innerEnd - innerStart >= 150);
    QVERIFY(outerEnd >= innerEnd);
    QVERIFY(outerEnd < 10'000);
    QVERIFY(!timer.isWaiting());
}

void TestTiming::waitSleepsInsteadOfSpinning() {
    clsWaitableTimer timer;
    const std::clock_t cpuBefore = std::clock();
    timer.Wait(500);
    const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    QVERIFY2(cpuMs < 100, qPrintable(QString::number(cpuMs)));
}

void TestTiming::waitWithoutTimeIsOneMessagePass_data() {
    QTest::addColumn<qint32>("ms");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
}

void TestTiming::waitWithoutTimeIsOneMessagePass() {
    QFETCH(qint32, ms);
    clsWaitableTimer timer;
    bool ran = false;
    QMetaObject::invokeMethod(
        this, [&] { ran = true; }, Qt::QueuedConnection);
    timer.Wait(ms);
    QVERIFY(ran);
}

void TestTiming::waitErrorsCarryThePrefix() {
    clsWaitableTimer timer([] { throw RuntimeError(42, u"Handler"_s, u"boom"_s); });
    QTest::failOnWarning(QRegularExpression(u"."_s));
    try {
        timer.Wait(20);
        QFAIL("the error did not reach the caller");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 42);
        QCOMPARE(error.source(), u"Handler"_s);
        QCOMPARE(error.description(), u"[clsWaitableTimer.Wait]boom"_s);
    }
    QVERIFY(!timer.isWaiting());
}

QTEST_GUILESS_MAIN(TestTiming)
#include "tst_timing.moc"
