#pragma once

#include <QtGlobal>
#include <functional>

namespace quorvane {

// A pause that keeps dispatching the thread's events while it lasts.
class clsWaitableTimer {
public:
    // The message pass dispatches the thread's waiting events; empty: QCoreApplication's.
    explicit clsWaitableTimer(std::function<void()> messagePass = {});
    clsWaitableTimer(const clsWaitableTimer &) = delete;
    clsWaitableTimer &operator=(const clsWaitableTimer &) = delete;

    // Returns no earlier than MilliSeconds after it starts, followed by one pass over the waiting
    // events; the thread sleeps between events. Waits nested through an event handler each end
    // after their own time. A wait also ends when the application is quitting. Errors raised
    // inside, by the wait or its message pass, reach the caller with "[clsWaitableTimer.Wait]"
    // before their description; an event handler reports its own.
    void Wait(qint32 MilliSeconds);

    // Whether a wait on this object is in progress.
    bool isWaiting() const { return mWaitsInProgress > 0; }

private:
    void SleepDispatchingEvents(qint32 milliSeconds);

    std::function<void()> mMessagePass;
    int mWaitsInProgress = 0;
};

}  // namespace quorvane
