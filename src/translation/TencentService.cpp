#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QUrl>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

constexpr char kService[] = "tmt";
constexpr char kContentType[] = "application/json; charset=utf-8";

QByteArray Sha256Hex(const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray HmacSha256(const QByteArray &key, const QByteArray &message) {
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

// The host as the Host header names it: with the port when the root gives one.
QByteArray HostOf(const QString &root) {
    const QUrl url(root);
    return (url.port() < 0 ? url.host() : url.host() + u':' + QString::number(url.port()))
        .toLatin1();
}

// TC3-HMAC-SHA256 over the method, path, query, the content-type and host headers and the
// body's hash; the credential's date is the UTC date of the timestamp.
QByteArray Authorization(const QString &secretId, const QString &secretKey, const QByteArray &host,
                         qint64 timestamp, const QByteArray &body) {
    const QByteArray canonicalRequest = "POST\n/\n\ncontent-type:" + QByteArray(kContentType) +
                                        "\nhost:" + host + "\n\ncontent-type;host\n" +
                                        Sha256Hex(body);
    const QString date =
        QDateTime::fromSecsSinceEpoch(timestamp, Qt::UTC).toString(u"yyyy-MM-dd"_s);
    const QByteArray scope = date.toLatin1() + '/' + kService + "/tc3_request";
    const QByteArray stringToSign = "TC3-HMAC-SHA256\n" + QByteArray::number(timestamp) + '\n' +
                                    scope + '\n' + Sha256Hex(canonicalRequest);
    return "TC3-HMAC-SHA256 Credential=" + secretId.toLatin1() + '/' + scope +
           ", SignedHeaders=content-type;host, Signature=" +
           TencentSignature(secretKey, date, QString::fromLatin1(kService), stringToSign)
               .toLatin1();
}

HttpRequest Request(const RequestParts &parts) {
    const bool fromJapanese = parts.direction == TranslateDirection::Ja2Ch;
    const QStringList key = parts.key.split(u':');
    const QString region = key.value(2, u"ap-guangzhou"_s);
    const QJsonObject json{{u"SourceText"_s, parts.text()},
                           {u"Source"_s, fromJapanese ? u"ja"_s : u"zh"_s},
                           {u"Target"_s, fromJapanese ? u"zh"_s : u"ja"_s},
                           {u"ProjectId"_s, 0}};
    HttpRequest request = JsonRequest(parts.root + u'/', json);
    const qint64 timestamp = QDateTime::currentSecsSinceEpoch();
    request.contentType = kContentType;
    request.headers = {
        "X-TC-Action: TextTranslate",
        "X-TC-Version: 2018-03-21",
        "X-TC-Timestamp: " + QByteArray::number(timestamp),
        "X-TC-Region: " + region.toLatin1(),
        "Authorization: " +
            Authorization(key.value(0), key.value(1), HostOf(parts.root), timestamp, request.body),
    };
    return request;
}

QJsonValue Response(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    return json ? (*json)[u"Response"_s] : QJsonValue();
}

std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const QJsonValue text = Response(answer)[u"TargetText"_s];
    return text.isString() ? std::optional(QStringList{text.toString()}) : std::nullopt;
}

QString ErrorCode(const HttpAnswer &answer) {
    return Response(answer)[u"Error"_s][u"Code"_s].toString();
}

Refusal Refuses(const HttpAnswer &answer) {
    const QString code = ErrorCode(answer);
    if (code.startsWith(u"LimitExceeded"_s) || code == u"RequestLimitExceeded"_s ||
        code == u"FailedOperation.NoFreeAmount"_s) {
        return Refusal::ForNow;
    }
    return code.startsWith(u"AuthFailure"_s) ? Refusal::Key : Refusal::None;
}

QString ServiceError(const HttpAnswer &answer) {
    const QString code = ErrorCode(answer);
    const QString message = Response(answer)[u"Error"_s][u"Message"_s].toString();
    return code.isEmpty() ? QString() : code + u' ' + message;
}

QString HelpPage(const ServiceChoice &) {
    return u"https://fanyi.qq.com/"_s;
}

constexpr Endpoint kEndpoints[] = {
    {u"https://tmt.tencentcloudapi.com", Request, Translations, Refuses, ServiceError},
};

}  // namespace

const Service kTencentService = {
    .name = u"tencent",
    .summary = u"Tencent Cloud's machine translation with your key; the text goes to Tencent.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 1, .maxSize = 2'000, .cost = Utf16Cost},
    .key = {.shape = u"SECRETID:SECRETKEY or SECRETID:SECRETKEY:REGION",
            .minParts = 2,
            .maxParts = 3},
    .helpPage = HelpPage,
};

QString TencentSignature(const QString &secretKey, const QString &date, const QString &service,
                         const QByteArray &stringToSign) {
    const QByteArray secretDate = HmacSha256("TC3" + secretKey.toUtf8(), date.toUtf8());
    const QByteArray secretService = HmacSha256(secretDate, service.toUtf8());
    const QByteArray secretSigning = HmacSha256(secretService, "tc3_request");
    return QString::fromLatin1(HmacSha256(secretSigning, stringToSign).toHex());
}

}  // namespace quorvane
