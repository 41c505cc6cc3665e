#include <QCryptographicHash>
#include <QJsonArray>
#include <QRandomGenerator>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    const QString appId = parts.key.section(u':', 0, 0);
    const QString secret = parts.key.section(u':', 1);
    const QString q = parts.texts.join(u'\n');
    const QString salt = QString::number(QRandomGenerator::global()->bounded(1u << 30));
    const QByteArray form = "q=" + QueryValue(q) +
                            (fromJapanese ? "&from=jp&to=zh" : "&from=zh&to=jp") +
                            "&appid=" + QueryValue(appId) + "&salt=" + salt.toLatin1() +
                            "&sign=" + BaiduSign(appId, q, salt, secret).toLatin1();
    return {.url = parts.root + u"/api/trans/vip/translate"_s, .body = form};
}

// One entry for each line of q.
std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    return json ? Strings((*json)[u"trans_result"_s], "dst"_L1) : std::nullopt;
}

// The code is a string in the documentation and has been a number in answers.
QString ErrorCode(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    return json ? (*json)[u"error_code"_s].toVariant().toString() : QString();
}

// 54003: too frequent; 54004: the balance is used up; 54005: too many long texts. 52003: the
// appid is unknown; 54001: the sign is wrong, so is the secret.
Refusal Refuses(const HttpAnswer &answer) {
    const QString code = ErrorCode(answer);
    if (code == u"54003"_s || code == u"54004"_s || code == u"54005"_s) {
        return Refusal::ForNow;
    }
    return code == u"52003"_s || code == u"54001"_s ? Refusal::Key : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    const QString code = ErrorCode(answer);
    if (code.isEmpty()) {
        return {};
    }
    const QString message = StringField(answer, "error_msg"_L1).value_or(QString());
    return message.isEmpty() ? code : code + u' ' + message;
}

QString HelpPage(const ServiceChoice &) {
    return u"https://fanyi.baidu.com/"_s;
}

constexpr Endpoint kEndpoints[] = {
    {u"https://fanyi-api.baidu.com", Request, Translations, Refuses, ServiceError},
};

}  // namespace

// The lines of q, joined by line breaks, are at most 6,000 bytes of UTF-8.
const Service kBaiduService = {
    .name = u"baidu",
    .summary = u"Baidu Translate's API with your key; the text goes to Baidu.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 6'000,
              .maxSize = 6'000,
              .cost = Utf8Cost,
              .costPerText = 1,
              .linePerText = true},
    .key = {.shape = u"APPID:SECRET", .minParts = 2, .maxParts = 2},
    .helpPage = HelpPage,
};

QString BaiduSign(const QString &appId, const QString &q, const QString &salt,
                  const QString &secret) {
    return QString::fromLatin1(
        QCryptographicHash::hash((appId + q + salt + secret).toUtf8(), QCryptographicHash::Md5)
            .toHex());
}

}  // namespace quorvane
