#pragma once

#include <QString>
#include <optional>

namespace quorvane {

// What the desktop's Secret Service holds for a service.
struct StoredKey {
    std::optional<QString> key;  // none: no key is stored, or the Secret Service cannot be asked
    QString error{};             // why it cannot be asked; "" when it answered
};

// Keys in the desktop's Secret Service (GNOME Keyring, KWallet, KeePassXC), one per service
// name; never anywhere else. Each call waits for the Secret Service, which may ask the user to
// unlock it, for a minute at most. Needs a QCoreApplication.
StoredKey ReadStoredKey(const QString &service);
// Whether a Secret Service runs, or starts when asked, on the session bus.
bool SecretServiceRuns();
QString NoSecretServiceMessage();
// "" when stored, else why not.
QString StoreKey(const QString &service, const QString &key);
// "" when no key of the service is stored any longer, else why not.
QString ForgetKey(const QString &service);

}  // namespace quorvane
