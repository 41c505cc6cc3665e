#pragma once

#include <QString>

#include "translation/Services.h"

namespace quorvane {

// The message shown when no data came back from the service at `serviceRoot`.
QString FailureMessage(const QString &serviceRoot);
// Who reads a message: a window user has no terminal to give an option in.
enum class MessageReader { Window, Terminal };
// The message shown when the service refuses requests for now; `reason` may be "".
QString RefusalMessage(const QString &reason, MessageReader reader);
// The message shown when a service refused its key; `reason` is the service's own, or "".
QString KeyRefusedMessage(const QString &service, const QString &reason, MessageReader reader);
// The message shown when no service of the chain has the key it needs: which keys, and how to
// give them.
QString NoKeyMessage(const ServiceChain &chain);
// The status lines after a refusal, a refused key, and a chain without keys.
QString RefusalStatus();
QString KeyRefusedStatus();
QString NoKeyStatus();
// The status shown for an empty input, and for an answer that holds no translation.
QString EmptyInputMessage();
QString NoTranslationMessage();

}  // namespace quorvane
