#pragma once

#include <QString>
#include <optional>
#include <span>

#include "translation/modPub.h"

namespace quorvane {

enum class TranslateDirection { Ja2Ch, Ch2Ja };

// One address of a service: how a text becomes a request, and how its answer reads.
struct Endpoint {
    QStringView root;  // "http://" or "https://" and a host, with an optional port
    HttpRequest (*request)(const QString &root, const QString &text, TranslateDirection direction);
    // The translation that an answer holds.
    std::optional<QString> (*translation)(const HttpAnswer &answer);
    // Whether an answer without a translation says that the service refuses requests for now.
    bool (*refuses)(const HttpAnswer &answer);
    // What the service itself says of an answer without a translation; "" when it says nothing.
    QString (*errorText)(const HttpAnswer &answer);
};

// A translation service. Each piece of a text goes to its endpoints in order, until one of them
// gives a translation.
struct Service {
    QStringView name;
    QStringView summary;  // what it is and where the text goes, in a line
    std::span<const Endpoint> endpoints;
    // The longest address of one request, in bytes; 0 for no bound.
    qsizetype maxAddressBytes;
    // The service's own page for people, given the root of its first endpoint.
    QString (*helpPage)(const QString &root);
};

std::span<const Service> Services();

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
// The message shown when the service refuses requests for now; `reason` may be "".
QString RefusalMessage(const QString &reason);
// The status shown for an empty input, and for an answer that holds no translation.
QString EmptyInputMessage();
QString NoTranslationMessage();

}  // namespace quorvane
