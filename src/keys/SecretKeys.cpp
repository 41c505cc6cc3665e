#include "keys/SecretKeys.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// Long enough for the user to unlock a keyring at its prompt.
constexpr auto kLongestWait = 60s;

const QString kKeychainService = u"quorvane"_s;

// Runs the job, which never falls back to a file, until it finishes; false when it did not in
// time.
bool Run(QKeychain::Job &job, const QString &service) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);
    job.setKey(service);
    QEventLoop wait;
    QObject::connect(&job, &QKeychain::Job::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(kLongestWait, &wait, &QEventLoop::quit);
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &wait, [&finished] { finished = true; });
    job.start();
    wait.exec();
    return finished;
}

QString ErrorOf(const QKeychain::Job &job, bool finished) {
    if (!finished) {
        return u"The Secret Service did not answer within a minute."_s;
    }
    switch (job.error()) {
        case QKeychain::NoError:
            return {};
        case QKeychain::NoBackendAvailable:
            return NoSecretServiceMessage();
        case QKeychain::AccessDeniedByUser:
        case QKeychain::AccessDenied:
            return u"The Secret Service denied access to the key."_s;
        default:
            return u"The Secret Service failed: "_s + job.errorString();
    }
}

}  // namespace

bool SecretServiceRuns() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    const QString name = u"org.freedesktop.secrets"_s;
    if (bus.interface()->isServiceRegistered(name)) {
        return true;
    }
    const QDBusReply<QStringList> activatable = bus.interface()->call(u"ListActivatableNames"_s);
    return activatable.isValid() && activatable.value().contains(name);
}

QString NoSecretServiceMessage() {
    return u"No Secret Service runs on this desktop: GNOME Keyring, KWallet or KeePassXC keep "
           u"keys. The key is written nowhere else."_s;
}

StoredKey ReadStoredKey(const QString &service) {
    QKeychain::ReadPasswordJob job(kKeychainService);
    const bool finished = Run(job, service);
    if (finished && job.error() == QKeychain::EntryNotFound) {
        return {};
    }
    if (const QString error = ErrorOf(job, finished); !error.isEmpty()) {
        return {std::nullopt, error};
    }
    return {job.textData()};
}

QString StoreKey(const QString &service, const QString &key) {
    QKeychain::WritePasswordJob job(kKeychainService);
    job.setTextData(key);
    const bool finished = Run(job, service);
    return ErrorOf(job, finished);
}

QString ForgetKey(const QString &service) {
    QKeychain::DeletePasswordJob job(kKeychainService);
    const bool finished = Run(job, service);
    return finished && job.error() == QKeychain::EntryNotFound ? QString() : ErrorOf(job, finished);
}

}  // namespace quorvane
