#include <QJsonDocument>
#include <QTest>

#include "support/KeyedStandIns.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "translation/KeyedServices.h"
#include "translation/TranslateRequest.h"

using namespace quorvane;
using namespace stand_in;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TranslateOutcome)
Q_DECLARE_METATYPE(TranslateDirection)

namespace {

const QStringList kKeyed{u"deepl"_s, u"baidu"_s,   u"youdao"_s,
                         u"azure"_s, u"tencent"_s, u"caiyun"_s};

ServiceChoice Keyed(const QString &name, const LoopbackServer &server) {
    ServiceChoice choice = Choice(name, server.root());
    choice.key = KeyOf(name);
    return choice;
}

// A translation that shows which text it was made of, and that keeps its line breaks.
QString Marked(const QString &text) {
    return u"〈"_s + text + u"〉"_s;
}

// Japanese and Chinese paragraphs, lines, blank lines and an emoji: 20,000 characters.
QString LongText() {
    const QString paragraph =
        u"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。\n"
        u"我们一起去吧，好吗？🐱 \"引用\" と\\記号\n\n"_s;
    QString text;
    while (text.size() < 20'000) {
        text += paragraph;
    }
    return text.left(20'000);
}

// What the stand-in's translation of `text` is when the service gets it in the given pieces: each
// piece marked, the white space between pieces kept.
bool IsMarkedWhole(const QString &translation, const QString &text) {
    QString unmarked = translation;
    unmarked.remove(u'〈').remove(u'〉');
    return unmarked == text && translation.count(u'〈') == translation.count(u'〉');
}

}  // namespace

class TestKeyedServices : public QObject {
    Q_OBJECT

private slots:
    void requestIsAsTheServiceTakesIt_data();
    void requestIsAsTheServiceTakesIt();
    void keyNeverGoesIntoTheAddress();
    void signaturesMatchThePublishedExamples();
    void youdaoSignsTheShortenedInput_data();
    void youdaoSignsTheShortenedInput();
    void deepLFreeKeysGoToTheFreeApi();
    void tencentRegionDefaultsToGuangzhou();
    void errorsAreClassified_data();
    void errorsAreClassified();
    void longTextTakesAsFewRequestsAsAllowed_data();
    void longTextTakesAsFewRequestsAsAllowed();
    void wrongKeyIsRefusedByTheStandIn_data();
    void wrongKeyIsRefusedByTheStandIn();
};

void TestKeyedServices::requestIsAsTheServiceTakesIt_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<TranslateDirection>("direction");
    for (const QString &service : kKeyed) {
        QTest::addRow("%s ja2ch", qPrintable(service)) << service << TranslateDirection::Ja2Ch;
        QTest::addRow("%s ch2ja", qPrintable(service)) << service << TranslateDirection::Ch2Ja;
    }
}

// The stand-in answers only a request that passes the service's own checks, signature included.
void TestKeyedServices::requestIsAsTheServiceTakesIt() {
    QFETCH(QString, service);
    QFETCH(TranslateDirection, direction);
    LoopbackServer server(stand_in::Keyed(service, Marked), {.keepAlive = true});
    const QString text = u"猫が好き & 100% \"本当\"+α"_s;
    const TranslateResult result = TranslateText(text, direction, Keyed(service, server));
    QVERIFY2(result.outcome == TranslateOutcome::Translated, qPrintable(result.reason));
    QCOMPARE(result.translation, std::optional(Marked(text)));
    QCOMPARE(result.service, service);
    QCOMPARE(server.requests().size(), 1);
}

// Nothing of a key is in the request line; a secret that signs is nowhere in the request.
void TestKeyedServices::keyNeverGoesIntoTheAddress() {
    for (const QString &service : kKeyed) {
        LoopbackServer server(stand_in::Keyed(service, Marked), {.keepAlive = true});
        TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, Keyed(service, server));
        const QByteArray request = server.requests().value(0);
        const QStringList parts = KeyOf(service).split(u':');
        for (const QString &part : parts) {
            QVERIFY2(!server.requestLines().value(0).contains(part.toUtf8()), qPrintable(service));
        }
        if (service == u"baidu"_s || service == u"youdao"_s || service == u"tencent"_s) {
            QVERIFY2(!request.contains(parts[1].toUtf8()), qPrintable(service));
        }
    }
}

void TestKeyedServices::signaturesMatchThePublishedExamples() {
    QCOMPARE(BaiduSign(u"2015063000000001"_s, u"apple"_s, u"1435660288"_s, u"12345678"_s),
             u"f89f9594663708c1605f3d736d01d2d4"_s);
    QCOMPARE(TencentSignature(u"Gu5t9xGARNpq86cd98joQYCN3EXAMPLE"_s, u"2019-02-25"_s, u"cvm"_s,
                              "TC3-HMAC-SHA256\n1551113065\n2019-02-25/cvm/tc3_request\n"
                              "5ffe6a04c0664d6b969fab9a13bdab201d63ee709638e2749d62a09ca18d7031"),
             u"72e494ea809ad7a8c8f7a4507b9bddcbaa8e581f516e8da2f66e2c5a96525168"_s);
}

void TestKeyedServices::youdaoSignsTheShortenedInput_data() {
    QTest::addColumn<QString>("q");
    QTest::addColumn<QString>("input");
    QTest::newRow("20 characters, whole") << u"一二三四五六七八九十一二三四五六七八九十"_s
                                          << u"一二三四五六七八九十一二三四五六七八九十"_s;
    QTest::newRow("21 characters: first 10, length, last 10")
        << u"abcdefghij-klmnopqrst"_s << u"abcdefghij21klmnopqrst"_s;
}

void TestKeyedServices::youdaoSignsTheShortenedInput() {
    QFETCH(QString, q);
    QFETCH(QString, input);
    const QByteArray expected =
        QCryptographicHash::hash(
            (u"key"_s + input + u"salt"_s + u"1700000000"_s + u"secret"_s).toUtf8(),
            QCryptographicHash::Sha256)
            .toHex();
    QCOMPARE(YoudaoSign(u"key"_s, q, u"salt"_s, u"1700000000"_s, u"secret"_s),
             QString::fromLatin1(expected));
}

void TestKeyedServices::deepLFreeKeysGoToTheFreeApi() {
    const Endpoint &endpoint = kDeepLService.endpoints.front();
    ServiceChoice choice{&kDeepLService, {}, u"abc:fx"_s};
    QCOMPARE(choice.RequestOf(endpoint, {u"x"_s}, TranslateDirection::Ja2Ch).url,
             u"https://api-free.deepl.com/v2/translate"_s);
    choice.key = u"abc"_s;
    const HttpRequest pro = choice.RequestOf(endpoint, {u"x"_s}, TranslateDirection::Ja2Ch);
    QCOMPARE(pro.url, u"https://api.deepl.com/v2/translate"_s);
    QVERIFY(pro.headers.contains("Authorization: DeepL-Auth-Key abc"));
}

void TestKeyedServices::tencentRegionDefaultsToGuangzhou() {
    const ServiceChoice choice{&kTencentService, {}, u"id:secret"_s};
    const HttpRequest request =
        choice.RequestOf(kTencentService.endpoints.front(), {u"x"_s}, TranslateDirection::Ch2Ja);
    QCOMPARE(request.url, u"https://tmt.tencentcloudapi.com/"_s);
    QVERIFY(request.headers.contains("X-TC-Region: ap-guangzhou"));
    QCOMPARE(QJsonDocument::fromJson(request.body)[u"Target"_s].toString(), u"ja"_s);
}

void TestKeyedServices::errorsAreClassified_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<TranslateOutcome>("outcome");
    QTest::addColumn<QString>("serviceError");
    const auto row = [](const char *name, const char *service, int status, const char *body,
                        TranslateOutcome outcome, const QString &serviceError) {
        QTest::newRow(name) << QString::fromLatin1(service) << status << QByteArray(body) << outcome
                            << serviceError;
    };
    using O = TranslateOutcome;
    row("deepl 456", "deepl", 456, R"({"message":"Quota exceeded"})", O::Refused,
        u"Quota exceeded"_s);
    row("deepl 429", "deepl", 429, R"({"message":"Too many requests"})", O::Refused,
        u"Too many requests"_s);
    row("deepl 403", "deepl", 403, R"({"message":"Forbidden"})", O::KeyRefused, u"Forbidden"_s);
    row("deepl 400", "deepl", 400, R"({"message":"Bad request"})", O::NoTranslation,
        u"Bad request"_s);
    row("deepl fewer translations than texts", "deepl", 200, R"({"translations":[]})",
        O::NoTranslation, QString());
    row("baidu 54003", "baidu", 200, R"({"error_code":"54003","error_msg":"Invalid Access Limit"})",
        O::Refused, u"54003 Invalid Access Limit"_s);
    row("baidu 54004", "baidu", 200, R"({"error_code":"54004","error_msg":"Insufficient balance"})",
        O::Refused, u"54004 Insufficient balance"_s);
    row("baidu 54005", "baidu", 200,
        R"({"error_code":"54005","error_msg":"Long query too frequently"})", O::Refused,
        u"54005 Long query too frequently"_s);
    row("baidu 52003", "baidu", 200, R"({"error_code":"52003","error_msg":"UNAUTHORIZED USER"})",
        O::KeyRefused, u"52003 UNAUTHORIZED USER"_s);
    row("baidu 54001 as a number", "baidu", 200,
        R"({"error_code":54001,"error_msg":"Invalid Sign"})", O::KeyRefused,
        u"54001 Invalid Sign"_s);
    row("baidu 58001", "baidu", 200, R"({"error_code":"58001","error_msg":"INVALID_TO_PARAM"})",
        O::NoTranslation, u"58001 INVALID_TO_PARAM"_s);
    row("youdao 411", "youdao", 200, R"({"errorCode":"411"})", O::Refused, u"errorCode 411"_s);
    row("youdao 401", "youdao", 200, R"({"errorCode":"401"})", O::Refused, u"errorCode 401"_s);
    row("youdao 108", "youdao", 200, R"({"errorCode":"108"})", O::KeyRefused, u"errorCode 108"_s);
    row("youdao 202", "youdao", 200, R"({"errorCode":"202"})", O::KeyRefused, u"errorCode 202"_s);
    row("youdao 113", "youdao", 200, R"({"errorCode":"113"})", O::NoTranslation,
        u"errorCode 113"_s);
    row("youdao translation without code 0", "youdao", 200, R"({"translation":["猫"]})",
        O::NoTranslation, QString());
    row("azure 401", "azure", 401, R"({"error":{"code":401000,"message":"not authorized"}})",
        O::KeyRefused, u"401000 not authorized"_s);
    row("azure 403", "azure", 403, R"({"error":{"code":403001,"message":"free quota"}})",
        O::Refused, u"403001 free quota"_s);
    row("azure 429", "azure", 429, R"({"error":{"code":429000,"message":"too many"}})", O::Refused,
        u"429000 too many"_s);
    row("tencent AuthFailure", "tencent", 200,
        R"({"Response":{"Error":{"Code":"AuthFailure.SecretIdNotFound","Message":"no id"}}})",
        O::KeyRefused, u"AuthFailure.SecretIdNotFound no id"_s);
    row("tencent LimitExceeded", "tencent", 200,
        R"({"Response":{"Error":{"Code":"LimitExceeded.LimitedAccessFrequency","Message":"slow"}}})",
        O::Refused, u"LimitExceeded.LimitedAccessFrequency slow"_s);
    row("tencent RequestLimitExceeded", "tencent", 200,
        R"({"Response":{"Error":{"Code":"RequestLimitExceeded","Message":"slow"}}})", O::Refused,
        u"RequestLimitExceeded slow"_s);
    row("tencent NoFreeAmount", "tencent", 200,
        R"({"Response":{"Error":{"Code":"FailedOperation.NoFreeAmount","Message":"none"}}})",
        O::Refused, u"FailedOperation.NoFreeAmount none"_s);
    row("tencent other", "tencent", 200,
        R"({"Response":{"Error":{"Code":"UnsupportedOperation.TextTooLong","Message":"long"}}})",
        O::NoTranslation, u"UnsupportedOperation.TextTooLong long"_s);
    row("caiyun 401", "caiyun", 401, R"({"message":"Invalid token"})", O::KeyRefused,
        u"Invalid token"_s);
    row("caiyun 403", "caiyun", 403, "", O::KeyRefused, QString());
    row("caiyun 429", "caiyun", 429, "", O::Refused, QString());
    row("caiyun target not an array", "caiyun", 200, R"({"target":"猫"})", O::NoTranslation,
        QString());
}

void TestKeyedServices::errorsAreClassified() {
    QFETCH(QString, service);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(TranslateOutcome, outcome);
    QFETCH(QString, serviceError);
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(status, body)));
    const TranslateResult result =
        TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, Keyed(service, server));
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.serviceError, serviceError);
    QVERIFY(!result.translation);
}

void TestKeyedServices::longTextTakesAsFewRequestsAsAllowed_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<int>("fewest");
    QTest::addColumn<int>("most");
    // The text is 53,800 bytes of UTF-8, its JSON within DeepL's 128 KiB; its 690 lines that are
    // not blank take 53,457 bytes with their line breaks, which Baidu takes in nine requests.
    QTest::newRow("deepl") << u"deepl"_s << 1 << 1;
    QTest::newRow("azure") << u"azure"_s << 1 << 1;
    QTest::newRow("baidu") << u"baidu"_s << 9 << 10;
    QTest::newRow("youdao") << u"youdao"_s << 4 << 6;
    QTest::newRow("tencent") << u"tencent"_s << 10 << 12;
    QTest::newRow("caiyun") << u"caiyun"_s << 4 << 6;
}

// The stand-ins refuse a request over the service's bounds; the translation comes back whole, in
// order, its line breaks and blank lines where they were.
void TestKeyedServices::longTextTakesAsFewRequestsAsAllowed() {
    QFETCH(QString, service);
    QFETCH(int, fewest);
    QFETCH(int, most);
    LoopbackServer server(stand_in::Keyed(service, Marked), {.keepAlive = true});
    const QString text = LongText();
    const TranslateResult result =
        TranslateText(text, TranslateDirection::Ja2Ch, Keyed(service, server));
    QVERIFY2(result.outcome == TranslateOutcome::Translated, qPrintable(result.reason));
    QVERIFY(IsMarkedWhole(*result.translation, text));
    const qsizetype requests = server.requests().size();
    QVERIFY2(requests >= fewest && requests <= most, qPrintable(QString::number(requests)));
    QCOMPARE(server.connections(), 1);
}

void TestKeyedServices::wrongKeyIsRefusedByTheStandIn_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("key");
    QTest::newRow("deepl") << u"deepl"_s << u"other:fx"_s;
    QTest::newRow("baidu wrong secret") << u"baidu"_s << u"2015063000000001:87654321"_s;
    QTest::newRow("baidu wrong appid") << u"baidu"_s << u"2015063000000002:12345678"_s;
    QTest::newRow("youdao wrong secret") << u"youdao"_s << u"6d1d4ab1c22a1c7e:wrong"_s;
    QTest::newRow("azure wrong region")
        << u"azure"_s << u"a3f1c0d2e4b5968778695a4b3c2d1e0f:eastus"_s;
    QTest::newRow("tencent wrong secret")
        << u"tencent"_s << u"AKIDz8krbsJ5yKBZQpn74WFkmLPx3EXAMPLE:wrong:ap-shanghai"_s;
    QTest::newRow("caiyun") << u"caiyun"_s << u"wrong"_s;
}

// A signature made with another secret fails the stand-in's own check: the check is real.
void TestKeyedServices::wrongKeyIsRefusedByTheStandIn() {
    QFETCH(QString, service);
    QFETCH(QString, key);
    LoopbackServer server(stand_in::Keyed(service, Marked), {.keepAlive = true});
    ServiceChoice choice = Choice(service, server.root());
    choice.key = key;
    const TranslateResult result = TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, choice);
    QCOMPARE(result.outcome, TranslateOutcome::KeyRefused);
}

QTEST_GUILESS_MAIN(TestKeyedServices)
#include "tst_keyedservices.moc"
