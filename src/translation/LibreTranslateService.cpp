#include "translation/LibreTranslateService.h"

#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    QByteArray form = "q=" + QueryValue(parts.text) +
                      (fromJapanese ? "&source=ja&target=zh" : "&source=zh&target=ja") +
                      "&format=text";
    if (!parts.key.isEmpty()) {
        form += "&api_key=" + QueryValue(parts.key);
    }
    return {.url = parts.root + u"/translate"_s, .form = form};
}

std::optional<QString> Translation(const HttpAnswer &answer) {
    return StringField(answer, "translatedText"_L1);
}

bool Refuses(const HttpAnswer &answer) {
    return answer.status == 429;
}

QString ServiceError(const HttpAnswer &answer) {
    return StringField(answer, "error"_L1).value_or(QString());
}

QString HelpPage(const ServiceChoice &choice) {
    return choice.FirstRoot();
}

constexpr Endpoint kEndpoints[] = {
    {u"http://127.0.0.1:5000", Request, Translation, Refuses, ServiceError},
};

}  // namespace

const Service kLibreTranslateService = {
    .name = u"libretranslate",
    .summary = u"a LibreTranslate server, at http://127.0.0.1:5000 unless given a root.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .keyVariable = "QUORVANE_LIBRETRANSLATE_KEY",
    .helpPage = HelpPage,
};

}  // namespace quorvane
