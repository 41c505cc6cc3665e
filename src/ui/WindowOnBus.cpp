#include "ui/WindowOnBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

#include "ui/frmMain.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

const QString kName = u"com.example.quorvane"_s;
const QString kPath = u"/com/example/quorvane"_s;
constexpr int kCallTimeoutMs = 5'000;

}  // namespace

WindowOnBus::WindowOnBus(frmMain &window) : mWindow(window) {
    new QuorvaneAdaptor(this);
    new ApplicationAdaptor(this);
}

WindowOnBus::Claim WindowOnBus::ClaimName() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.registerObject(kPath, this, QDBusConnection::ExportAdaptors)) {
        return Claim::NoBus;
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(kName, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        return Claim::Served;
    }
    bus.unregisterObject(kPath);
    return reply.isValid() ? Claim::HeldByAnother : Claim::NoBus;
}

// The bus is not to start a window for the call: the caller does that itself.
bool WindowOnBus::AskRunningWindow(bool translateSelection) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kName, kPath, kName, translateSelection ? u"TranslateSelection"_s : u"Show"_s);
    call.setAutoStartService(false);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
}

// Each request runs after the call has been answered: a translation dispatches events for as
// long as the service takes, and the caller does not wait for it.
void WindowOnBus::Translate(const QString &text) {
    if (text.size() > kLongestText) {
        sendErrorReply(QDBusError::LimitsExceeded,
                       u"A text to translate is %1 characters at most."_s.arg(kLongestText));
        return;
    }
    QMetaObject::invokeMethod(
        &mWindow, [this, text] { mWindow.TranslateGivenText(text); }, Qt::QueuedConnection);
}

void WindowOnBus::TranslateSelection() {
    QMetaObject::invokeMethod(
        &mWindow, [this] { mWindow.TranslateSelection(); }, Qt::QueuedConnection);
}

void WindowOnBus::Show() {
    QMetaObject::invokeMethod(
        &mWindow, [this] { mWindow.ShowActivated(); }, Qt::QueuedConnection);
}

void WindowOnBus::RefuseAction(const QString &name) {
    sendErrorReply(QDBusError::InvalidArgs, u"No action '%1'."_s.arg(name));
}

QuorvaneAdaptor::QuorvaneAdaptor(WindowOnBus *window)
    : QDBusAbstractAdaptor(window), mWindow(window) {}

void QuorvaneAdaptor::Translate(const QString &text) {
    mWindow->Translate(text);
}

void QuorvaneAdaptor::TranslateSelection() {
    mWindow->TranslateSelection();
}

void QuorvaneAdaptor::Show() {
    mWindow->Show();
}

ApplicationAdaptor::ApplicationAdaptor(WindowOnBus *window)
    : QDBusAbstractAdaptor(window), mWindow(window) {}

void ApplicationAdaptor::Activate(const QVariantMap &) {
    mWindow->Show();
}

void ApplicationAdaptor::Open(const QStringList &, const QVariantMap &) {
    mWindow->Show();
}

void ApplicationAdaptor::ActivateAction(const QString &name, const QVariantList &,
                                        const QVariantMap &) {
    if (name == u"translate-selection"_s) {
        mWindow->TranslateSelection();
    } else {
        mWindow->RefuseAction(name);
    }
}

}  // namespace quorvane
