#include <QJsonArray>
#include <QJsonObject>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    QJsonArray body;
    for (const QString &text : parts.texts) {
        body.append(QJsonObject{{u"Text"_s, text}});
    }
    QList<QByteArray> headers{"Ocp-Apim-Subscription-Key: " +
                              parts.key.section(u':', 0, 0).toLatin1()};
    if (const QString region = parts.key.section(u':', 1); !region.isEmpty()) {
        headers.append("Ocp-Apim-Subscription-Region: " + region.toLatin1());
    }
    return JsonRequest(
        parts.root + (fromJapanese ? u"/translate?api-version=3.0&from=ja&to=zh-Hans"_s
                                   : u"/translate?api-version=3.0&from=zh-Hans&to=ja"_s),
        body, std::move(headers));
}

// One element per text, each with the translation into the one language asked for.
std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json || !json->isArray()) {
        return std::nullopt;
    }
    QStringList translations;
    for (const QJsonValue element : json->toArray()) {
        const QJsonValue text = element[u"translations"_s][0][u"text"_s];
        if (!text.isString()) {
            return std::nullopt;
        }
        translations.append(text.toString());
    }
    return translations;
}

// 403: the free tier's characters are used up; 429: too many requests.
Refusal Refuses(const HttpAnswer &answer) {
    if (answer.status == 403 || answer.status == 429) {
        return Refusal::ForNow;
    }
    return answer.status == 401 ? Refusal::Key : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json) {
        return {};
    }
    const QJsonValue error = (*json)[u"error"_s];
    const QString message = error[u"message"_s].toString();
    const QString code = error[u"code"_s].toVariant().toString();
    return code.isEmpty() ? message : code + u' ' + message;
}

QString HelpPage(const ServiceChoice &) {
    return u"https://www.bing.com/translator"_s;
}

constexpr Endpoint kEndpoints[] = {
    {u"https://api.cognitive.microsofttranslator.com", Request, Translations, Refuses,
     ServiceError},
};

}  // namespace

const Service kAzureService = {
    .name = u"azure",
    .summary = u"Microsoft's Azure AI Translator with your key; the text goes to Microsoft.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 1'000, .maxSize = 50'000, .cost = Utf16Cost},
    .key = {.shape = u"KEY or KEY:REGION", .minParts = 1, .maxParts = 2},
    .helpPage = HelpPage,
};

}  // namespace quorvane
