#include "support/KeyedStandIns.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QUuid>
#include <thread>

#include "support/ServiceStandIns.h"

using namespace Qt::StringLiterals;

namespace stand_in {

namespace {

struct Request {
    QByteArray method;
    QByteArray target;
    QByteArray raw;
    QByteArray body;

    explicit Request(const QByteArray &request)
        : method(request.left(request.indexOf(' '))),
          target(Target(request)),
          raw(request),
          body(Body(request)) {}
    QByteArray header(const QByteArray &name) const { return HeaderValue(raw, name); }
    QString field(const QByteArray &name) const { return FieldValue(body, name); }
    QJsonValue json() const {
        const QJsonDocument document = QJsonDocument::fromJson(body);
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    }
};

QByteArray Json(const QJsonValue &value) {
    return (value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject()))
        .toJson(QJsonDocument::Compact);
}

QByteArray Respond(int status, const QJsonValue &body) {
    return LoopbackServer::keepAliveResponse(status, Json(body),
                                             "Content-Type: application/json\r\n");
}

QJsonArray TranslatedArray(const QJsonArray &texts, const Translator &translate) {
    QJsonArray translated;
    for (const QJsonValue text : texts) {
        translated.append(translate(text.toString()));
    }
    return translated;
}

QByteArray Hex(QCryptographicHash::Algorithm algorithm, const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, algorithm).toHex();
}

QByteArray DeepL(const Request &request, const Translator &translate) {
    const QJsonValue json = request.json();
    const QJsonArray texts = json[u"text"_s].toArray();
    const QString source = json[u"source_lang"_s].toString();
    const QString target = json[u"target_lang"_s].toString();
    QString failure;
    if (request.method != "POST" || request.target != "/v2/translate") {
        failure = u"not POST /v2/translate"_s;
    } else if (request.header("Authorization") != "DeepL-Auth-Key " + KeyOf(u"deepl"_s).toUtf8()) {
        return Respond(403, QJsonObject{{u"message"_s, u"Forbidden"_s}});
    } else if (!request.header("Content-Type").startsWith("application/json")) {
        failure = u"not JSON"_s;
    } else if (texts.isEmpty() || texts.size() > 50 || request.body.size() > 128 * 1024) {
        failure = u"Too many texts or too large a body"_s;
    } else if (!((source == u"JA"_s && target == u"ZH-HANS"_s) ||
                 (source == u"ZH"_s && target == u"JA"_s))) {
        failure = u"Value for 'target_lang' not supported."_s;
    }
    if (!failure.isEmpty()) {
        return Respond(400, QJsonObject{{u"message"_s, failure}});
    }
    QJsonArray translations;
    for (const QJsonValue text : texts) {
        translations.append(QJsonObject{{u"detected_source_language"_s, source},
                                        {u"text"_s, translate(text.toString())}});
    }
    return Respond(200, QJsonObject{{u"translations"_s, translations}});
}

QByteArray BaiduError(const char *code, const QString &message) {
    return Respond(
        200, QJsonObject{{u"error_code"_s, QString::fromLatin1(code)}, {u"error_msg"_s, message}});
}

QByteArray Baidu(const Request &request, const Translator &translate) {
    const QString appId = KeyOf(u"baidu"_s).section(u':', 0, 0);
    const QString secret = KeyOf(u"baidu"_s).section(u':', 1);
    const QString q = request.field("q");
    const QString from = request.field("from");
    const QString to = request.field("to");
    if (request.method != "POST" || request.target != "/api/trans/vip/translate" ||
        request.header("Content-Type") != "application/x-www-form-urlencoded") {
        return BaiduError("52000", u"not a form POST to /api/trans/vip/translate"_s);
    }
    if (request.field("appid") != appId) {
        return BaiduError("52003", u"UNAUTHORIZED USER"_s);
    }
    const QByteArray signedBytes = (appId + q + request.field("salt") + secret).toUtf8();
    if (request.field("sign").toLatin1() != Hex(QCryptographicHash::Md5, signedBytes)) {
        return BaiduError("54001", u"Invalid Sign"_s);
    }
    if (q.isEmpty() || q.toUtf8().size() > 6'000) {
        return BaiduError("54000", u"q is empty or longer than 6000 bytes"_s);
    }
    if (!((from == u"jp"_s && to == u"zh"_s) || (from == u"zh"_s && to == u"jp"_s))) {
        return BaiduError("58001", u"INVALID_TO_PARAM"_s);
    }
    QJsonArray results;
    for (const QString &line : q.split(u'\n')) {
        results.append(QJsonObject{{u"src"_s, line}, {u"dst"_s, translate(line)}});
    }
    return Respond(200,
                   QJsonObject{{u"from"_s, from}, {u"to"_s, to}, {u"trans_result"_s, results}});
}

QByteArray YoudaoError(const char *code) {
    return Respond(200, QJsonObject{{u"errorCode"_s, QString::fromLatin1(code)}});
}

QByteArray Youdao(const Request &request, const Translator &translate) {
    const QString appKey = KeyOf(u"youdao"_s).section(u':', 0, 0);
    const QString secret = KeyOf(u"youdao"_s).section(u':', 1);
    const QString q = request.field("q");
    const QString salt = request.field("salt");
    const QString curtime = request.field("curtime");
    if (request.method != "POST" || request.target != "/api" ||
        request.header("Content-Type") != "application/x-www-form-urlencoded") {
        return YoudaoError("101");
    }
    if (request.field("appKey") != appKey) {
        return YoudaoError("108");
    }
    const QString input = q.size() <= 20 ? q : q.left(10) + QString::number(q.size()) + q.right(10);
    const QByteArray expected =
        Hex(QCryptographicHash::Sha256, (appKey + input + salt + curtime + secret).toUtf8());
    const qint64 age = QDateTime::currentSecsSinceEpoch() - curtime.toLongLong();
    if (request.field("signType") != u"v3"_s || QUuid::fromString(salt).isNull() || age < -300 ||
        age > 300 || request.field("sign").toLatin1() != expected) {
        return YoudaoError("202");
    }
    const QString from = request.field("from");
    const QString to = request.field("to");
    if (q.isEmpty() ||
        !((from == u"ja"_s && to == u"zh-CHS"_s) || (from == u"zh-CHS"_s && to == u"ja"_s))) {
        return YoudaoError("102");
    }
    return Respond(200, QJsonObject{{u"errorCode"_s, u"0"_s},
                                    {u"query"_s, q},
                                    {u"translation"_s, QJsonArray{translate(q)}}});
}

QByteArray AzureError(int status, int code, const QString &message) {
    return Respond(
        status, QJsonObject{{u"error"_s, QJsonObject{{u"code"_s, code}, {u"message"_s, message}}}});
}

QByteArray Azure(const Request &request, const Translator &translate) {
    const QString key = KeyOf(u"azure"_s);
    if (request.header("Ocp-Apim-Subscription-Key") != key.section(u':', 0, 0).toUtf8() ||
        request.header("Ocp-Apim-Subscription-Region") != key.section(u':', 1).toUtf8()) {
        return AzureError(401, 401000,
                          u"The request is not authorized because credentials are "
                          u"missing or invalid."_s);
    }
    if (request.method != "POST" ||
        (request.target != "/translate?api-version=3.0&from=ja&to=zh-Hans" &&
         request.target != "/translate?api-version=3.0&from=zh-Hans&to=ja") ||
        !request.header("Content-Type").startsWith("application/json")) {
        return AzureError(400, 400000, u"One of the request inputs is not valid."_s);
    }
    const QJsonArray elements = request.json().toArray();
    qsizetype characters = 0;
    for (const QJsonValue element : elements) {
        characters += element[u"Text"_s].toString().size();
    }
    if (elements.isEmpty() || elements.size() > 1'000 || characters > 50'000) {
        return AzureError(400, 400077, u"The maximum request size has been exceeded."_s);
    }
    const QString to = request.target.endsWith("to=ja") ? u"ja"_s : u"zh-Hans"_s;
    QJsonArray answers;
    for (const QJsonValue element : elements) {
        answers.append(QJsonObject{
            {u"translations"_s,
             QJsonArray{QJsonObject{{u"text"_s, translate(element[u"Text"_s].toString())},
                                    {u"to"_s, to}}}}});
    }
    return Respond(200, answers);
}

QByteArray TencentError(const QString &code, const QString &message) {
    return Respond(
        200, QJsonObject{
                 {u"Response"_s,
                  QJsonObject{{u"Error"_s, QJsonObject{{u"Code"_s, code}, {u"Message"_s, message}}},
                              {u"RequestId"_s, u"stand-in"_s}}}});
}

QByteArray HmacSha256(const QByteArray &key, const QByteArray &message) {
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

// Tencent Cloud's TC3-HMAC-SHA256 over what arrived: its Host header, its body.
QByteArray TencentAuthorization(const Request &request) {
    const QStringList key = KeyOf(u"tencent"_s).split(u':');
    const QByteArray timestamp = request.header("X-TC-Timestamp");
    const QByteArray date = QDateTime::fromSecsSinceEpoch(timestamp.toLongLong(), Qt::UTC)
                                .toString(u"yyyy-MM-dd"_s)
                                .toLatin1();
    const QByteArray canonical = "POST\n/\n\ncontent-type:" + request.header("Content-Type") +
                                 "\nhost:" + request.header("Host") + "\n\ncontent-type;host\n" +
                                 Hex(QCryptographicHash::Sha256, request.body);
    const QByteArray scope = date + "/tmt/tc3_request";
    const QByteArray toSign = "TC3-HMAC-SHA256\n" + timestamp + '\n' + scope + '\n' +
                              Hex(QCryptographicHash::Sha256, canonical);
    const QByteArray signing =
        HmacSha256(HmacSha256(HmacSha256("TC3" + key[1].toUtf8(), date), "tmt"), "tc3_request");
    return "TC3-HMAC-SHA256 Credential=" + key[0].toUtf8() + '/' + scope +
           ", SignedHeaders=content-type;host, Signature=" + HmacSha256(signing, toSign).toHex();
}

QByteArray Tencent(const Request &request, const Translator &translate) {
    const QJsonValue json = request.json();
    const QString source = json[u"Source"_s].toString();
    const QString target = json[u"Target"_s].toString();
    const qint64 age =
        QDateTime::currentSecsSinceEpoch() - request.header("X-TC-Timestamp").toLongLong();
    if (request.method != "POST" || request.target != "/" ||
        request.header("Content-Type") != "application/json; charset=utf-8" ||
        request.header("X-TC-Action") != "TextTranslate" ||
        request.header("X-TC-Version") != "2018-03-21" ||
        request.header("X-TC-Region") != KeyOf(u"tencent"_s).section(u':', 2).toUtf8()) {
        return TencentError(u"InvalidParameter"_s, u"action, version, region or type"_s);
    }
    if (age < -300 || age > 300 ||
        request.header("Authorization") != TencentAuthorization(request)) {
        return TencentError(u"AuthFailure.SignatureFailure"_s,
                            u"The provided credentials could "
                            u"not be validated."_s);
    }
    const QString text = json[u"SourceText"_s].toString();
    if (text.isEmpty() || text.size() > 2'000 || json[u"ProjectId"_s] != QJsonValue(0) ||
        !((source == u"ja"_s && target == u"zh"_s) || (source == u"zh"_s && target == u"ja"_s))) {
        return TencentError(u"InvalidParameterValue"_s, u"text, project or languages"_s);
    }
    return Respond(200, QJsonObject{{u"Response"_s, QJsonObject{{u"TargetText"_s, translate(text)},
                                                                {u"Source"_s, source},
                                                                {u"Target"_s, target},
                                                                {u"RequestId"_s, u"stand-in"_s}}}});
}

QByteArray Caiyun(const Request &request, const Translator &translate) {
    const QJsonValue json = request.json();
    const QString type = json[u"trans_type"_s].toString();
    if (request.header("X-Authorization") != "token " + KeyOf(u"caiyun"_s).toUtf8()) {
        return Respond(401, QJsonObject{{u"message"_s, u"Invalid token"_s}});
    }
    if (request.method != "POST" || request.target != "/v1/translator" ||
        !request.header("Content-Type").startsWith("application/json") ||
        !json[u"source"_s].isArray() || json[u"request_id"_s].toString().isEmpty() ||
        json[u"media"_s] != QJsonValue(u"text"_s) || (type != u"ja2zh"_s && type != u"zh2ja"_s)) {
        return Respond(400, QJsonObject{{u"message"_s, u"Bad request"_s}});
    }
    return Respond(
        200, QJsonObject{{u"target"_s, TranslatedArray(json[u"source"_s].toArray(), translate)}});
}

}  // namespace

QByteArray HeaderValue(const QByteArray &request, const QByteArray &name) {
    const QByteArray head = request.left(request.indexOf("\r\n\r\n"));
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

QString KeyOf(const QString &service) {
    // Baidu's and Tencent's are those of their published examples.
    static const QHash<QString, QString> keys{
        {u"deepl"_s, u"279a2e9d-83b3-c416-7e2d-f721593e42a0:fx"_s},
        {u"baidu"_s, u"2015063000000001:12345678"_s},
        {u"youdao"_s, u"6d1d4ab1c22a1c7e:QzZ2c6Xr8f0rQ8gUW9tR1v2nB3m4K5l6"_s},
        {u"azure"_s, u"a3f1c0d2e4b5968778695a4b3c2d1e0f:westeurope"_s},
        {u"tencent"_s,
         u"AKIDz8krbsJ5yKBZQpn74WFkmLPx3EXAMPLE:Gu5t9xGARNpq86cd98joQYCN3EXAMPLE:"
         u"ap-shanghai"_s},
        {u"caiyun"_s, u"3975l6lr5pcbvidl6jl2"_s},
    };
    return keys.value(service);
}

LoopbackServer::Script Keyed(const QString &service, Translator translate,
                             std::chrono::milliseconds delay) {
    using Handler = QByteArray (*)(const Request &, const Translator &);
    static const QHash<QString, Handler> handlers{
        {u"deepl"_s, DeepL}, {u"baidu"_s, Baidu},     {u"youdao"_s, Youdao},
        {u"azure"_s, Azure}, {u"tencent"_s, Tencent}, {u"caiyun"_s, Caiyun},
    };
    const Handler handler = handlers.value(service);
    return [handler, translate = std::move(translate), delay](LoopbackServer::Exchange &exchange) {
        std::this_thread::sleep_for(delay);
        exchange.send(handler(Request(exchange.request()), translate));
    };
}

}  // namespace stand_in
