#include "translation/LibreTranslateService.h"

#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    QByteArray form = "q=" + QueryValue(parts.text()) +
                      (fromJapanese ? "&source=ja&target=zh" : "&source=zh&target=ja") +
                      "&format=text";
    if (!parts.key.isEmpty()) {
        form += "&api_key=" + QueryValue(parts.key);
    }
    return {.url = parts.root + u"/translate"_s, .body = form};
}

std::optional<QString> Translation(const HttpAnswer &answer) {
    return StringField(answer, "translatedText"_L1);
}

Refusal Refuses(const HttpAnswer &answer) {
    return answer.status == 429 ? Refusal::ForNow : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    return StringField(answer, "error"_L1).value_or(QString());
}

QString HelpPage(const ServiceChoice &choice) {
    return choice.FirstRoot();
}

constexpr Endpoint kEndpoints[] = {
    {u"http://127.0.0.1:5000", Request, OneTranslation<Translation>, Refuses, ServiceError},
};

}  // namespace

const Service kLibreTranslateService = {
    .name = u"libretranslate",
    .summary = u"a LibreTranslate server, at http://127.0.0.1:5000 unless given a root.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {},
    .key = {.shape = u"KEY", .required = false},
    .helpPage = HelpPage,
};

}  // namespace quorvane
