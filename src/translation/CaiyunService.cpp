#include <QJsonArray>
#include <QJsonObject>
#include <QUuid>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    const QJsonObject body{{u"source"_s, QJsonArray::fromStringList(parts.texts)},
                           {u"trans_type"_s, fromJapanese ? u"ja2zh"_s : u"zh2ja"_s},
                           {u"request_id"_s, QUuid::createUuid().toString(QUuid::WithoutBraces)},
                           {u"media"_s, u"text"_s}};
    return JsonRequest(parts.root + u"/v1/translator"_s, body,
                       {"X-Authorization: token " + parts.key.toLatin1()});
}

std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    return json ? Strings((*json)[u"target"_s]) : std::nullopt;
}

Refusal Refuses(const HttpAnswer &answer) {
    if (answer.status == 429) {
        return Refusal::ForNow;
    }
    return answer.status == 401 || answer.status == 403 ? Refusal::Key : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    return StringField(answer, "message"_L1).value_or(QString());
}

QString HelpPage(const ServiceChoice &) {
    return u"https://fanyi.caiyunapp.com/"_s;
}

constexpr Endpoint kEndpoints[] = {
    {u"https://api.interpreter.caiyunai.com", Request, Translations, Refuses, ServiceError},
};

}  // namespace

// The documentation gives no bound; these are as modest as the others'.
const Service kCaiyunService = {
    .name = u"caiyun",
    .summary = u"Caiyun's LingoCloud translation API with your token; the text goes to Caiyun.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 100, .maxSize = 5'000, .cost = Utf16Cost},
    .key = {.shape = u"TOKEN"},
    .helpPage = HelpPage,
};

}  // namespace quorvane
