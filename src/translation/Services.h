#pragma once

#include <QString>
#include <optional>
#include <span>

#include "translation/Service.h"

namespace quorvane {

std::span<const Service *const> Services();

// A service, and the root that replaces the roots of all its endpoints ("" for their own).
struct ServiceChoice {
    const Service *service = nullptr;
    QString root;

    QString RootOf(const Endpoint &endpoint) const;
    QString Root() const;  // the first endpoint's: where the text goes first
    QString HelpPage() const;
};

struct ServiceChoiceOrError {
    std::optional<ServiceChoice> choice;
    QString error;  // a usage message that lists the services, when there is no choice
};

// "NAME" or "NAME=ROOT".
ServiceChoiceOrError ParseServiceChoice(const QString &value);
// The option's value if given, else the environment's QUORVANE_SERVICE, else the build's default.
ServiceChoiceOrError ChooseService(const std::optional<QString> &option);
// The services' names, joined by ", ".
QString ServiceNames();

// The direction for a text typed without choosing one: kana mean Japanese source text.
TranslateDirection DirectionOfText(const QString &text);

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
