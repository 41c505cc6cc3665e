#pragma once

#include <QEventLoop>
#include <QLocale>
#include <QString>
#include <QThread>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "timing/clsTimeCount.h"
#include "timing/clsWaitableTimer.h"
#include "translation/TranslateRequest.h"

namespace quorvane {

// What the translate command needs of its window.
class TranslateCommandView {
public:
    virtual QString inputText() const = 0;
    // true: the flash colour; false: the system's window background colour.
    virtual void setInputHighlighted(bool highlighted) = 0;
    virtual void setStatusText(const QString &text) = 0;
    virtual void setOutputText(const QString &text) = 0;
    // A modal warning box; returns when the user has closed it.
    virtual void showFailureMessage(const QString &text) = 0;

protected:
    ~TranslateCommandView() = default;
};

// What a command takes besides its view and service: the bounds of its exchanges, and the tick
// source of the counter it creates at its first use (empty: the system's).
struct CommandSettings {
    FetchLimits limits{};
    std::function<qint32()> tickSource{};
};

// The command behind both translate buttons: check the input, translate it through the services,
// show the result and the elapsed seconds.
class TranslateCommand {
public:
    TranslateCommand(TranslateCommandView &view, ServiceChain chain, CommandSettings settings = {});
    // Waits for the threads of abandoned exchanges, which their cancellation ends at once.
    ~TranslateCommand();
    TranslateCommand(const TranslateCommand &) = delete;
    TranslateCommand &operator=(const TranslateCommand &) = delete;

    // Does nothing while an earlier run is still in progress (its message pass, its exchange or
    // its flash).
    void Run(TranslateDirection direction);
    bool isRunning() const { return mRunning; }
    // The window has gone: an exchange in progress is abandoned at once, a run in progress stops
    // without touching the view again when it resumes, and no later run starts.
    void Abandon();

    // The page of the last translation that got past the empty-input check; "" when its fetch
    // failed.
    const QString &pageHtml() const { return mPageHtml; }
    // The elapsed seconds of the last successful translation, as the status line shows them.
    const QString &seconds() const { return mSeconds; }
    const clsTimeCount *timeCount() const { return mTimeCount.get(); }
    const clsWaitableTimer *waitTimer() const { return mWaitTimer.get(); }

private:
    void FlashInput();
    void Translate(TranslateDirection direction);
    std::optional<TranslateResult> FetchWhileDispatching(const QString &text,
                                                         TranslateDirection direction);
    clsTimeCount &TimeCountAtFirstUse();
    clsWaitableTimer &WaitTimerAtFirstUse();

    TranslateCommandView &mView;
    ServiceChain mChain;
    CommandSettings mSettings;
    std::unique_ptr<clsTimeCount> mTimeCount;
    std::unique_ptr<clsWaitableTimer> mWaitTimer;
    // What an exchange's thread shares with the command; the thread keeps it, the connections
    // and the rests alive, so that an abandoned exchange never holds the window's thread.
    struct Exchange {
        FetchCancellation cancellation;
        TranslateResult result;
        std::exception_ptr error;
        // The translation as it arrives, and whether the window's thread is yet to show it.
        std::mutex arrivedMutex;
        QString arrived;
        std::atomic<bool> showPending{false};
    };
    void ShowArrived(const std::shared_ptr<Exchange> &exchange);
    // Made at the first exchange: libcurl's and TLS's set-up is no work for the window's start.
    std::shared_ptr<ConnectionCache> mConnections;
    std::shared_ptr<EndpointRests> mRests = std::make_shared<EndpointRests>();
    // The exchange in progress and the loop that waits for it.
    std::shared_ptr<Exchange> mExchange;
    QEventLoop *mExchangeWait = nullptr;
    std::vector<std::unique_ptr<QThread>> mAbandonedWorkers;
    // Where an exchange's thread posts what has arrived; it lives on the window's thread for as
    // long as any exchange thread may post.
    std::unique_ptr<QObject> mArrivals = std::make_unique<QObject>();
    QString mPageHtml;
    QString mSeconds;
    bool mRunning = false;
    bool mAbandoned = false;
};

// Milliseconds as seconds in the general number format: up to 15 significant digits, no
// exponent, no trailing zeros, the locale's decimal separator, and a "0" before it below 1 s.
QString ElapsedSecondsText(qint32 milliSeconds, const QLocale &locale = QLocale());

}  // namespace quorvane
