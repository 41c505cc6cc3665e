#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QUuid>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    const QString appKey = parts.key.section(u':', 0, 0);
    const QString secret = parts.key.section(u':', 1);
    const QString salt = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString curtime = QString::number(QDateTime::currentSecsSinceEpoch());
    const QByteArray form = "q=" + QueryValue(parts.text()) +
                            (fromJapanese ? "&from=ja&to=zh-CHS" : "&from=zh-CHS&to=ja") +
                            "&appKey=" + QueryValue(appKey) + "&salt=" + salt.toLatin1() +
                            "&curtime=" + curtime.toLatin1() + "&signType=v3&sign=" +
                            YoudaoSign(appKey, parts.text(), salt, curtime, secret).toLatin1();
    return {.url = parts.root + u"/api"_s, .body = form};
}

QString ErrorCode(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    return json ? (*json)[u"errorCode"_s].toVariant().toString() : QString();
}

// The translation of a text of several lines may come in several parts.
std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (ErrorCode(answer) != u"0"_s) {
        return std::nullopt;
    }
    const std::optional<QStringList> parts = Strings((*json)[u"translation"_s]);
    if (!parts || parts->isEmpty()) {
        return std::nullopt;
    }
    return QStringList{parts->join(u'\n')};
}

// 411: too frequent; 401: the account is in arrears. 108: the application key is unknown;
// 202: the sign is wrong, so is the secret.
Refusal Refuses(const HttpAnswer &answer) {
    const QString code = ErrorCode(answer);
    if (code == u"411"_s || code == u"401"_s) {
        return Refusal::ForNow;
    }
    return code == u"108"_s || code == u"202"_s ? Refusal::Key : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    const QString code = ErrorCode(answer);
    return code.isEmpty() || code == u"0"_s ? QString() : u"errorCode "_s + code;
}

QString HelpPage(const ServiceChoice &) {
    return u"https://fanyi.youdao.com/"_s;
}

constexpr Endpoint kEndpoints[] = {
    {u"https://openapi.youdao.com", Request, Translations, Refuses, ServiceError},
};

}  // namespace

const Service kYoudaoService = {
    .name = u"youdao",
    .summary = u"Youdao's translation API with your key; the text goes to Youdao.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 1, .maxSize = 5'000, .cost = Utf16Cost},
    .key = {.shape = u"APPKEY:SECRET", .minParts = 2, .maxParts = 2},
    .helpPage = HelpPage,
};

QString YoudaoSign(const QString &appKey, const QString &q, const QString &salt,
                   const QString &curtime, const QString &secret) {
    const QString input = q.size() <= 20 ? q : q.left(10) + QString::number(q.size()) + q.right(10);
    return QString::fromLatin1(
        QCryptographicHash::hash((appKey + input + salt + curtime + secret).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex());
}

}  // namespace quorvane
