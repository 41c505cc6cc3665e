#include "translation/TranslateCommand.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QThread>

namespace quorvane {

namespace {

const QString kBusyStatus = QStringLiteral("翻译中 ...");
constexpr qint32 kFlashStepMs = 100;

}  // namespace

TranslateCommand::TranslateCommand(TranslateCommandView &view, ServiceChoice service,
                                   CommandSettings settings)
    : mView(view), mService(std::move(service)), mSettings(std::move(settings)) {}

void TranslateCommand::Run(TranslateDirection direction) {
    if (mRunning || mAbandoned) {
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
        if (mAbandoned) {
            return;
        }
    }
}

void TranslateCommand::Translate(TranslateDirection direction) {
    TimeCount().Mark();
    mView.setStatusText(kBusyStatus);
    QCoreApplication::processEvents();
    if (mAbandoned) {
        return;
    }
    TranslateResult result = FetchWhileDispatching(mView.inputText(), direction);
    if (mAbandoned) {
        return;
    }
    mPageHtml = std::move(result.page);
    switch (result.outcome) {
        case TranslateOutcome::NoData:
            mView.showFailureMessage(FailureMessage(mService.Root()));
            return;
        case TranslateOutcome::Refused:
            mView.setStatusText(RefusalStatus());
            mView.showFailureMessage(RefusalMessage(result.reason, MessageReader::Window));
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
// the window paints, takes input and can close meanwhile. However the wait ends, even by an
// error, the exchange is cancelled and its thread joined before the locals it uses go. A runtime
// error inside the exchange is raised again here, on the window's thread.
TranslateResult TranslateCommand::FetchWhileDispatching(const QString &text,
                                                        TranslateDirection direction) {
    Exchange exchange;
    TranslateResult result;
    std::exception_ptr error;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result =
                TranslateText(text, direction, mService,
                              {&mConnections, &exchange.cancellation, mSettings.limits}, &mRests);
        } catch (...) {
            error = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &exchange.wait, &QEventLoop::quit);
    const QScopedValueRollback current(mExchange, &exchange);
    {
        worker->start();
        // The wait also ends early, when the window has gone or the application is quitting;
        // an exchange that has finished ignores the cancellation.
        const auto joinWorker = qScopeGuard([&] {
            exchange.cancellation.Cancel();
            worker->wait();
        });
        exchange.wait.exec();
    }
    if (error) {
        std::rethrow_exception(error);
    }
    return result;
}

void TranslateCommand::Abandon() {
    mAbandoned = true;
    if (mExchange) {
        mExchange->cancellation.Cancel();
        mExchange->wait.quit();
    }
}

clsTimeCount &TranslateCommand::TimeCount() {
    if (!mTimeCount) {
        mTimeCount = std::make_unique<clsTimeCount>(mSettings.tickSource);
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
