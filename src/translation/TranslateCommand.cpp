#include "translation/TranslateCommand.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QThread>

namespace quorvane {

namespace {

const QString kBusyStatus = QStringLiteral("翻译中 ...");
constexpr qint32 kFlashStepMs = 100;

}  // namespace

TranslateCommand::TranslateCommand(TranslateCommandView &view, ServiceChoice service,
                                   FetchLimits limits)
    : mView(view), mService(std::move(service)), mLimits(limits) {}

void TranslateCommand::Run(TranslateDirection direction) {
    if (mRunning) {
        return;
    }
    const QScopedValueRollback running(mRunning, true);
    if (mView.inputText().isEmpty()) {
        mView.setStatusText(EmptyInputMessage());
        FlashInput();
    } else {
        Translate(direction);
    }
}

void TranslateCommand::FlashInput() {
    for (const bool highlighted : {true, false, true, false}) {
        mView.setInputHighlighted(highlighted);
        WaitTimer().Wait(kFlashStepMs);
        if (mView.isUnloaded()) {
            return;
        }
    }
}

void TranslateCommand::Translate(TranslateDirection direction) {
    TimeCount().Mark();
    mView.setStatusText(kBusyStatus);
    QCoreApplication::processEvents();
    if (mView.isUnloaded()) {
        return;
    }
    TranslateResult result = FetchWhileDispatching(mView.inputText(), direction);
    if (mView.isUnloaded()) {
        return;
    }
    mPageHtml = std::move(result.page);
    switch (result.outcome) {
        case TranslateOutcome::NoData:
            mView.showFailureMessage(FailureMessage(mService.Root()));
            return;
        case TranslateOutcome::Refused:
            mView.showFailureMessage(RefusalMessage(result.reason));
            return;
        case TranslateOutcome::NoTranslation:
            mView.setStatusText(result.serviceError.isEmpty()
                                    ? NoTranslationMessage()
                                    : NoTranslationMessage() + u' ' + result.serviceError);
            return;
        case TranslateOutcome::Translated:
            break;
    }
    mView.setOutputText(*result.translation);
    mSeconds = ElapsedSecondsText(TimeCount().TimeCount());
    mView.setStatusText(QStringLiteral("总计耗时: ") + mSeconds + QStringLiteral("秒"));
}

// The exchange runs on a thread of its own while this one dispatches its events, as a Wait does:
// the window paints, takes input and can close meanwhile. A runtime error inside the exchange is
// raised again here, on the window's thread.
TranslateResult TranslateCommand::FetchWhileDispatching(const QString &text,
                                                        TranslateDirection direction) {
    Exchange exchange;
    TranslateResult result;
    std::exception_ptr error;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result = TranslateText(text, direction, mService,
                                   {&mConnections, &exchange.cancellation, mLimits});
        } catch (...) {
            error = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &exchange.wait, &QEventLoop::quit);
    const QScopedValueRollback current(mExchange, &exchange);
    worker->start();
    exchange.wait.exec();
    // The wait also ends early, when the window has gone or the application is quitting; an
    // exchange that has finished ignores the cancellation.
    exchange.cancellation.Cancel();
    worker->wait();
    if (error) {
        std::rethrow_exception(error);
    }
    return result;
}

void TranslateCommand::Abandon() {
    if (mExchange) {
        mExchange->cancellation.Cancel();
        mExchange->wait.quit();
    }
}

clsTimeCount &TranslateCommand::TimeCount() {
    if (!mTimeCount) {
        mTimeCount = std::make_unique<clsTimeCount>(mTickSource);
    }
    return *mTimeCount;
}

clsWaitableTimer &TranslateCommand::WaitTimer() {
    if (!mWaitTimer) {
        mWaitTimer = std::make_unique<clsWaitableTimer>();
    }
    return *mWaitTimer;
}

QString ElapsedSecondsText(qint32 milliSeconds, const QLocale &locale) {
    // QLocale writes the leading zero itself: 50 ms is "0.05", never ".05".
    QLocale general = locale;
    general.setNumberOptions(QLocale::OmitGroupSeparator);
    return general.toString(milliSeconds / 1000.0, 'g', 15);
}

}  // namespace quorvane
