#pragma once

#include <QJsonValue>
#include <QString>
#include <optional>
#include <span>

#include "translation/QueryEncoding.h"
#include "translation/TranslateDirection.h"
#include "translation/modPub.h"

namespace quorvane {

struct ServiceChoice;

// What one request of an endpoint is made of.
struct RequestParts {
    QString root;  // the endpoint's own, or the one the choice gives
    QString text;
    TranslateDirection direction;
    QString key;  // the user's key for the service; "" when none was given
};

// One address of a service: how a text becomes a request, and how its answer reads.
struct Endpoint {
    QStringView root;  // "http://" or "https://" and a host, with an optional port
    HttpRequest (*request)(const RequestParts &parts);
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
    // How the text goes into the request, which the bound measures.
    QueryEncoding encoding;
    // The environment variable that the command line and the window read the key from; "" for
    // a service without a key.
    const char *keyVariable;
    // The service's own page for people, where the choice sends the service.
    QString (*helpPage)(const ServiceChoice &choice);
};

// Readers and answers that several services share.
std::optional<QJsonValue> JsonOf(const QByteArray &body);
// The string `field` of an answer's JSON object.
std::optional<QString> StringField(const HttpAnswer &answer, QLatin1StringView field);
bool NeverRefuses(const HttpAnswer &answer);
QString SaysNothing(const HttpAnswer &answer);

}  // namespace quorvane
