#include "translation/TranslateCommand.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QThread>
#include <algorithm>

#include "translation/Messages.h"

namespace quorvane {

namespace {

const QString kBusyStatus = QStringLiteral("翻译中 ...");
constexpr qint32 kFlashStepMs = 100;

}  // namespace

TranslateCommand::TranslateCommand(TranslateCommandView &view, ServiceChain chain,
                                   CommandSettings settings)
    : mView(view), mChain(std::move(chain)), mSettings(std::move(settings)) {}

TranslateCommand::~TranslateCommand() {
    for (const std::unique_ptr<QThread> &worker : mAbandonedWorkers) {
        worker->wait();
    }
}

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
        WaitTimerAtFirstUse().Wait(kFlashStepMs);
        if (mAbandoned) {
            return;
        }
    }
}

void TranslateCommand::Translate(TranslateDirection direction) {
    TimeCountAtFirstUse().Mark();
    mView.setStatusText(kBusyStatus);
    QCoreApplication::processEvents();
    if (mAbandoned) {
        return;
    }
    std::optional<TranslateResult> fetched = FetchWhileDispatching(mView.inputText(), direction);
    if (!fetched || mAbandoned) {
        return;
    }
    TranslateResult &result = *fetched;
    mPageHtml = std::move(result.page);
    switch (result.outcome) {
        case TranslateOutcome::NoData:
            mView.showFailureMessage(FailureMessage(mChain.front().FirstRoot()));
            return;
        case TranslateOutcome::NoKey:
            mView.setStatusText(NoKeyStatus());
            mView.showFailureMessage(NoKeyMessage(mChain));
            return;
        case TranslateOutcome::KeyRefused:
            mView.setStatusText(KeyRefusedStatus());
            mView.showFailureMessage(
                KeyRefusedMessage(result.service, result.serviceError, MessageReader::Window));
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
    mSeconds = ElapsedSecondsText(TimeCountAtFirstUse().TimeCount());
    mView.setStatusText(QStringLiteral("总计耗时: ") + mSeconds + QStringLiteral("秒"));
}

// The exchange runs on a thread of its own while this one dispatches its events, as a Wait does:
// the window paints, takes input and can close meanwhile. A runtime error inside the exchange is
// raised again here, on the window's thread. When the wait ends before the exchange (the window
// has gone, or the application is quitting), the exchange is cancelled and left to its thread,
// which owns what it uses; there is no result then.
std::optional<TranslateResult> TranslateCommand::FetchWhileDispatching(
    const QString &text, TranslateDirection direction) {
    const auto exchange = std::make_shared<Exchange>();
    if (!mConnections) {
        mConnections = std::make_shared<ConnectionCache>();
    }
    // A service that writes its answer over seconds shows it as it arrives; the others show it
    // once, whole.
    const bool streams = std::any_of(mChain.cbegin(), mChain.cend(), [](const ServiceChoice &c) {
        return c.service->arrivedText != nullptr;
    });
    TextSink arrived = [this, exchange](const QString &piece) {
        {
            const std::lock_guard lock(exchange->arrivedMutex);
            exchange->arrived += piece;
        }
        if (!exchange->showPending.exchange(true)) {
            QMetaObject::invokeMethod(
                mArrivals.get(), [this, exchange] { ShowArrived(exchange); }, Qt::QueuedConnection);
        }
    };
    if (!streams) {
        arrived = nullptr;
    }
    std::unique_ptr<QThread> worker(QThread::create([exchange, text, direction, chain = mChain,
                                                     connections = mConnections, rests = mRests,
                                                     limits = mSettings.limits, arrived] {
        try {
            exchange->result = TranslateText(text, direction, chain,
                                             {connections.get(), &exchange->cancellation, limits},
                                             rests.get(), arrived);
        } catch (...) {
            exchange->error = std::current_exception();
        }
    }));
    QEventLoop wait;
    QObject::connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
    const QScopedValueRollback current(mExchange, exchange);
    const QScopedValueRollback currentWait(mExchangeWait, &wait);
    worker->start();
    wait.exec();
    if (!worker->isFinished()) {
        exchange->cancellation.Cancel();
        mAbandonedWorkers.push_back(std::move(worker));
        return std::nullopt;
    }
    worker->wait();
    if (exchange->error) {
        std::rethrow_exception(exchange->error);
    }
    return std::move(exchange->result);
}

// The output box shows the translation as it arrives, while the exchange is the current one.
void TranslateCommand::ShowArrived(const std::shared_ptr<Exchange> &exchange) {
    exchange->showPending = false;
    if (exchange != mExchange || mAbandoned) {
        return;
    }
    QString arrived;
    {
        const std::lock_guard lock(exchange->arrivedMutex);
        arrived = exchange->arrived;
    }
    mView.setOutputText(arrived);
}

void TranslateCommand::Abandon() {
    mAbandoned = true;
    if (mExchange) {
        mExchange->cancellation.Cancel();
        mExchangeWait->quit();
    }
}

clsTimeCount &TranslateCommand::TimeCountAtFirstUse() {
    if (!mTimeCount) {
        mTimeCount = std::make_unique<clsTimeCount>(mSettings.tickSource);
    }
    return *mTimeCount;
}

clsWaitableTimer &TranslateCommand::WaitTimerAtFirstUse() {
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
