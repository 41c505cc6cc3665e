#include <QJsonArray>
#include <QJsonObject>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

constexpr char16_t kProRoot[] = u"https://api.deepl.com";
constexpr char16_t kFreeRoot[] = u"https://api-free.deepl.com";

// A key of DeepL's free plan ends in ":fx" and is taken only by the free API's host.
QString RootOf(const RequestParts &parts) {
    return parts.root == kProRoot && parts.key.endsWith(u":fx"_s)
               ? QStringView(kFreeRoot).toString()
               : parts.root;
}

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    const QJsonObject body{{u"text"_s, QJsonArray::fromStringList(parts.texts)},
                           {u"source_lang"_s, fromJapanese ? u"JA"_s : u"ZH"_s},
                           {u"target_lang"_s, fromJapanese ? u"ZH-HANS"_s : u"JA"_s}};
    return JsonRequest(RootOf(parts) + u"/v2/translate"_s, body,
                       {"Authorization: DeepL-Auth-Key " + parts.key.toLatin1()});
}

std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    return json ? Strings((*json)[u"translations"_s], "text"_L1) : std::nullopt;
}

// 456: the plan's characters are used up; 429: too many requests.
Refusal Refuses(const HttpAnswer &answer) {
    if (answer.status == 456 || answer.status == 429) {
        return Refusal::ForNow;
    }
    return answer.status == 403 || answer.status == 401 ? Refusal::Key : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    return StringField(answer, "message"_L1).value_or(QString());
}

QString HelpPage(const ServiceChoice &) {
    return u"https://www.deepl.com/translator"_s;
}

constexpr Endpoint kEndpoints[] = {
    {kProRoot, Request, Translations, Refuses, ServiceError},
};

}  // namespace

// A request carries up to 50 texts and 128 KiB of body; the envelope takes less than 100 bytes.
const Service kDeepLService = {
    .name = u"deepl",
    .summary = u"DeepL's API with your key; the text goes to DeepL.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 50, .maxSize = 128 * 1024 - 100, .cost = JsonCost, .costPerText = 3},
    .key = {.shape = u"KEY", .minParts = 1, .maxParts = 2},
    .helpPage = HelpPage,
};

}  // namespace quorvane
