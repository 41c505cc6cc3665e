#pragma once

#include <QString>

namespace quorvane {

// The message shown when no data came back from the service at `serviceRoot`.
QString FailureMessage(const QString &serviceRoot);
// Who reads a message: a window user has no terminal to give an option in.
enum class MessageReader { Window, Terminal };
// The message shown when the service refuses requests for now; `reason` may be "".
QString RefusalMessage(const QString &reason, MessageReader reader);
// The status line after a refusal.
QString RefusalStatus();
// The status shown for an empty input, and for an answer that holds no translation.
QString EmptyInputMessage();
QString NoTranslationMessage();

}  // namespace quorvane
