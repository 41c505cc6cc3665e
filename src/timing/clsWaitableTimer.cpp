#include "timing/clsWaitableTimer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>

#include "common/RuntimeError.h"

namespace quorvane {

clsWaitableTimer::clsWaitableTimer(std::function<void()> messagePass)
    : mMessagePass(messagePass ? std::move(messagePass)
                               : [] { QCoreApplication::processEvents(); }) {}

void clsWaitableTimer::Wait(qint32 MilliSeconds) {
    try {
        const QScopedValueRollback inProgress(mWaitsInProgress, mWaitsInProgress + 1);
        if (MilliSeconds > 0) {
            SleepDispatchingEvents(MilliSeconds);
        }
        mMessagePass();
    } catch (const RuntimeError &error) {
        throw RuntimeError(error.number(), error.source(),
                           QStringLiteral("[clsWaitableTimer.Wait]") + error.description());
    }
}

// Each wait has its own timer and loop, so a wait nested inside it cannot end it or be ended by
// it. A loop left without its timer's signal means the application is quitting.
void clsWaitableTimer::SleepDispatchingEvents(qint32 milliSeconds) {
    const QDeadlineTimer deadline(milliSeconds, Qt::PreciseTimer);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    bool fired = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        fired = true;
        loop.quit();
    });
    do {
        fired = false;
        timer.start(std::max<qint64>(deadline.remainingTime(), 0));
        loop.exec();
    } while (fired && !deadline.hasExpired());
}

}  // namespace quorvane
