#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <span>

#include "translation/QueryEncoding.h"
#include "translation/TranslateDirection.h"
#include "translation/modPub.h"

namespace quorvane {

struct ServiceChoice;

// What one request of an endpoint is made of.
struct RequestParts {
    QString root;       // the endpoint's own, or the one the choice gives
    QStringList texts;  // one or more pieces, as many as the service's batch rule allows
    TranslateDirection direction;
    QString key;    // the user's key for the service; "" when none was given
    QString model;  // the model that writes the translation, for a service of models

    const QString &text() const { return texts.front(); }  // a service of one piece a request
};

// What an answer without a translation says of the service's will.
enum class Refusal {
    None,
    ForNow,  // requests are refused for a while: too many, or the quota is used up
    Key,     // the key is refused
};

// One address of a service: how texts become a request, and how its answer reads.
struct Endpoint {
    QStringView root;  // "http://" or "https://" and a host, with an optional port
    HttpRequest (*request)(const RequestParts &parts);
    // The translations that an answer holds, one per text of the request, in order.
    std::optional<QStringList> (*translations)(const HttpAnswer &answer);
    Refusal (*refusal)(const HttpAnswer &answer);
    // What the service itself says of an answer without a translation; "" when it says nothing.
    QString (*errorText)(const HttpAnswer &answer);
};

// What one piece and one request may carry, counted in `cost` of each code point; the bound of
// the request's address, when there is one, bounds a piece as well.
struct BatchRule {
    qsizetype maxTexts = 1;
    qsizetype maxSize = 0;  // of all the request's pieces together; 0 for no bound
    qsizetype (*cost)(char32_t codePoint) = nullptr;
    qsizetype costPerText = 0;  // what joins a piece to the others: quotes, a line break
    bool linePerText = false;   // each line of the text is a piece; line breaks never go out
};

// The shape of a service's key: one line of printable ASCII, its parts joined by ':'.
struct KeyForm {
    QStringView shape;  // as the user writes it, "APPID:SECRET"; "" for a service without a key
    qsizetype minParts = 1;
    qsizetype maxParts = 1;
    bool required = true;
};

// How far a body that is still arriving has been read, and what it said so far.
struct StreamRead {
    qsizetype read = 0;
    bool isStream = false;
    bool ended = false;
    QString content;
};

// A translation service. Each piece of a text goes to its endpoints in order, until one of them
// gives a translation.
struct Service {
    QStringView name;
    QStringView summary;  // what it is and where the text goes, in a line
    std::span<const Endpoint> endpoints;
    // The longest address of one request, in bytes; 0 for no bound.
    qsizetype maxAddressBytes;
    // How the text goes into the address, which its bound measures.
    QueryEncoding encoding;
    BatchRule batch;
    KeyForm key;
    // The service's own page for people, where the choice sends the service.
    QString (*helpPage)(const ServiceChoice &choice);
    // The translation so far in a body that is still arriving, read on from where `stream` left
    // it; none for a service whose answer reads only whole.
    QString (*arrivedText)(const QByteArray &bodySoFar, StreamRead &stream) = nullptr;
    // Said after no data from the service at its own root; "" for nothing.
    QStringView noDataHint = {};
    bool rootTakesPath = false;  // a root may carry a path: "http://127.0.0.1:11434/v1"
    QStringView defaultModel = {};
    // How long one exchange may take, when longer than the exchange's own bound: a model writes
    // for a while.
    std::chrono::milliseconds longestExchange{0};
};

// Whether no request of the service goes out without a key.
inline bool NeedsKey(const Service &service) {
    return !service.key.shape.isEmpty() && service.key.required;
}

// A reader of one translation as the reader of a request of one piece.
template <std::optional<QString> (*Read)(const HttpAnswer &)>
std::optional<QStringList> OneTranslation(const HttpAnswer &answer) {
    std::optional<QString> translation = Read(answer);
    return translation ? std::optional(QStringList{*std::move(translation)}) : std::nullopt;
}

// A POST of `json`, compact, with the further header lines.
HttpRequest JsonRequest(const QString &url, const QJsonValue &json, QList<QByteArray> headers = {});

// Readers and answers that several services share.
std::optional<QJsonValue> JsonOf(const QByteArray &body);
// The string `field` of an answer's JSON object.
std::optional<QString> StringField(const HttpAnswer &answer, QLatin1StringView field);
// The strings of a JSON array, or of the field `field` of each of its objects; none when any
// element is of another kind.
std::optional<QStringList> Strings(const QJsonValue &array, QLatin1StringView field = {});
Refusal NeverRefuses(const HttpAnswer &answer);
QString SaysNothing(const HttpAnswer &answer);

// Costs of a code point in a body: its UTF-8 bytes, its bytes in a JSON string (escapes
// included), or its UTF-16 code units (the characters that services count).
qsizetype Utf8Cost(char32_t codePoint);
qsizetype JsonCost(char32_t codePoint);
qsizetype Utf16Cost(char32_t codePoint);

}  // namespace quorvane
