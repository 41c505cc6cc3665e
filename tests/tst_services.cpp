#include <QTest>

#include "common/BuildInfo.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "support/TestCertificates.h"
#include "translation/ClassicService.h"
#include "translation/GoogleService.h"
#include "translation/Messages.h"
#include "translation/TranslateRequest.h"

using namespace quorvane;
using namespace stand_in;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(TranslateOutcome)
Q_DECLARE_METATYPE(stand_in::Answer)
Q_DECLARE_METATYPE(LoopbackServer::Script)

namespace {

QByteArray Respond(int status, const QByteArray &body, const QByteArray &headers = {}) {
    return LoopbackServer::keepAliveResponse(status, body, headers);
}

QByteArray RedirectTo(const QByteArray &location) {
    return Respond(302, {}, "Location: " + location + "\r\n");
}

const QByteArray kSorryPage = GoogleSorryPage();

using Reader = std::optional<QString> (*)(const HttpAnswer &);

// Every piece comes back as itself: the joined translation must be the text, byte for byte.
QByteArray Itself(const QString &text) {
    return GooglePage(text);
}

TranslateResult ThroughGoogle(const LoopbackServer &server, const QString &text = u"猫"_s) {
    return TranslateText(text, TranslateDirection::Ja2Ch, Choice(u"google"_s, server.root()));
}

// Japanese, Chinese, ASCII, emoji, paragraphs and sentences, and one paragraph of 9,000
// characters without a sentence end: 20,000 characters in all.
QString MixedLongText() {
    const QString sentences =
        u"吾輩は猫である。名前はまだ無い！どこで生れたか？ 我们一起去吧。Hello there. Fine!🐱 "_s;
    QString text;
    while (text.size() < 5'000) {
        text += sentences;
        if (text.size() % 7 == 0) {
            text += u"\n\n"_s;
        }
    }
    text += u"\n"_s;
    for (int i = 0; text.size() < 14'000; ++i) {
        text += i % 50 == 49 ? u"😀"_s : u"文字"_s;
    }
    text += u"\r\n\r\n"_s;
    while (text.size() < 20'000) {
        text += u"日本語と中文、English words and e\u0301 marks\n"_s;
    }
    return text.left(20'000);
}

}  // namespace

class TestServices : public QObject {
    Q_OBJECT

private slots:
    void googleReadsEachShapeOfAnswer_data();
    void googleReadsEachShapeOfAnswer();
    void googleFallsBackWithinOnePress_data();
    void googleFallsBackWithinOnePress();
    void googleAsksInTheTextsDirection_data();
    void googleAsksInTheTextsDirection();
    void longTextArrivesWholeFromEveryEndpoint_data();
    void longTextArrivesWholeFromEveryEndpoint();
    void refusingEndpointRestsTenMinutes();
    void libreTranslatePostsAForm();
    void libreTranslateErrors_data();
    void libreTranslateErrors();
    void httpsVerifiesCertificates_data();
    void httpsVerifiesCertificates();
    void choosesTheService_data();
    void choosesTheService();
    void helpOpensTheServicesPage_data();
    void helpOpensTheServicesPage();
};

void TestServices::googleReadsEachShapeOfAnswer_data() {
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<std::optional<QString>>("translation");
    const Reader page = GooglePageTranslation;
    const Reader segments = GoogleSegmentsTranslation;
    const Reader dictionary = GoogleDictionaryTranslation;
    const std::optional<QString> none;

    QTest::newRow("page: among other markup")
        << page << GooglePage(u"我喜欢猫"_s) << std::optional(u"我喜欢猫"_s);
    QTest::newRow("page: attributes around class, several lines, references")
        << page
        << QByteArray(
               "<div><div dir=\"ltr\" class=\"result-container\" lang=\"zh-CN\">第一行\n"
               "&lt;二&gt; &amp; &#x4E09;\n</div></div>")
        << std::optional(u"第一行\n<二> & 三\n"_s);
    QTest::newRow("page: single quotes, capitals")
        << page << QByteArray("<DIV CLASS='result-container'>译文</DIV>")
        << std::optional(u"译文"_s);
    QTest::newRow("page: the first of two")
        << page
        << QByteArray(
               "<div class=\"result-container\">一</div><div class=\"result-container\">二"
               "</div>")
        << std::optional(u"一"_s);
    QTest::newRow("page: another class's name is no result")
        << page
        << QByteArray(
               "<div data-class=\"result-container\">no</div><div class=\"result-container"
               "-x\">no</div><div class=\"result-container\">是</div>")
        << std::optional(u"是"_s);

    QTest::newRow("segments: lines")
        << segments
        << QByteArray(R"([[["猫。\n","猫。\n",null,null,10],["我喜欢。","好き。",null,null,10]],)"
                      R"(null,"ja"])")
        << std::optional(u"猫。\n我喜欢。"_s);
    QTest::newRow("segments: a transliteration tail")
        << segments
        << QByteArray(R"([[["我喜欢猫","猫が好き",null,null,10],)"
                      R"([null,null,"Wǒ xǐhuān māo","Neko ga suki"]],null,"ja"])")
        << std::optional(u"我喜欢猫"_s);
    QTest::newRow("segments: a transliteration only")
        << segments << QByteArray(R"([[[null,null,"Wǒ","Neko"]],null,"ja"])") << none;
    QTest::newRow("segments: none") << segments << QByteArray(R"([[],null,"ja"])") << none;

    QTest::newRow("dictionary: one part")
        << dictionary << QByteArray(R"(["我喜欢猫"])") << std::optional(u"我喜欢猫"_s);
    QTest::newRow("dictionary: a part and its language")
        << dictionary << QByteArray(R"([["我喜欢猫","ja"]])") << std::optional(u"我喜欢猫"_s);
    QTest::newRow("dictionary: several parts")
        << dictionary << QByteArray(R"(["第一句。","第二句。\n","第三行"])")
        << std::optional(u"第一句。第二句。\n第三行"_s);
    QTest::newRow("dictionary: several parts with their language")
        << dictionary << QByteArray(R"([["第一行\n","ja"],["第二行","ja"]])")
        << std::optional(u"第一行\n第二行"_s);
    QTest::newRow("dictionary: an element that is no part")
        << dictionary << QByteArray(R"([["猫","ja"],3])") << none;
    QTest::newRow("dictionary: the segments' shape")
        << dictionary << QByteArray(R"([[[null,"猫"]],null,"ja"])") << none;
    QTest::newRow("dictionary: nothing") << dictionary << QByteArray("[]") << none;

    const std::pair<const char *, Reader> readers[] = {
        {"page", page}, {"segments", segments}, {"dictionary", dictionary}};
    for (const auto &[name, reader] : readers) {
        QTest::addRow("%s: the sorry page", name) << reader << kSorryPage << none;
        QTest::addRow("%s: an empty answer", name) << reader << QByteArray() << none;
    }
    QTest::newRow("segments: a page with a result") << segments << GooglePage(u"猫"_s) << none;
    QTest::newRow("dictionary: a page with a result") << dictionary << GooglePage(u"猫"_s) << none;
}

void TestServices::googleReadsEachShapeOfAnswer() {
    QFETCH(Reader, reader);
    QFETCH(QByteArray, body);
    QFETCH(std::optional<QString>, translation);
    const HttpAnswer answer{
        .received = true, .status = 200, .body = body, .text = QString::fromUtf8(body)};
    QCOMPARE(reader(answer), translation);
}

void TestServices::googleFallsBackWithinOnePress_data() {
    QTest::addColumn<Answer>("page");
    QTest::addColumn<Answer>("segments");
    QTest::addColumn<Answer>("dictionary");
    QTest::addColumn<TranslateOutcome>("outcome");
    QTest::addColumn<QString>("translation");
    QTest::addColumn<QStringList>("asked");

    const QStringList all{u"segments"_s, u"dictionary"_s, u"page"_s};
    const Answer segments = Always(Respond(200, GoogleSegments({u"猫。\n"_s, u"我喜欢。"_s})));
    const Answer dictionary = Always(Respond(200, GoogleDictionary({u"词典"_s})));
    const Answer page = Always(Respond(200, GooglePage(u"网页"_s)));
    const Answer tooMany = Always(Respond(429, kSorryPage));
    const std::pair<const char *, Answer> refusals[] = {
        {"429", tooMany},
        {"403", Always(Respond(403, "<html>Forbidden</html>"))},
        {"the sorry page", Always(Respond(200, kSorryPage))},
        {"redirect to /sorry/", Always(RedirectTo("/sorry/index?continue=x"))},
        {"redirect to consent.", Always(RedirectTo("https://consent.google.com/ml?continue=x"))},
    };
    for (const auto &[name, refusal] : refusals) {
        QTest::addRow("segments: %s; the dictionary answers", name)
            << Answer() << refusal << dictionary << TranslateOutcome::Translated << u"词典"_s
            << all.mid(0, 2);
        QTest::addRow("JSON: %s; the page answers", name)
            << page << refusal << refusal << TranslateOutcome::Translated << u"网页"_s << all;
        QTest::addRow("all: %s", name)
            << refusal << refusal << refusal << TranslateOutcome::Refused << QString() << all;
    }
    QTest::newRow("segments answer first")
        << page << segments << dictionary << TranslateOutcome::Translated << u"猫。\n我喜欢。"_s
        << all.mid(0, 1);
    const Answer html = Always(Respond(200, "<html>not JSON</html>"));
    QTest::newRow("segments without a translation, the dictionary answers")
        << Answer() << html << Always(Respond(200, R"([["词典","ja"]])"))
        << TranslateOutcome::Translated << u"词典"_s << all.mid(0, 2);
    QTest::newRow("HTML everywhere: no translation")
        << html << html << html << TranslateOutcome::NoTranslation << QString() << all;
    const std::pair<const char *, QByteArray> wrongShapes[] = {
        {"an object", R"({"sentences":[]})"},
        {"no segments", R"([[],null,"ja"])"},
        {"a segment without text", R"([[[null,"猫"]],null,"ja"])"},
        {"a number", R"([[[1,"猫"]]])"},
        {"cut short", R"([[["猫","猫")"},
    };
    for (const auto &[name, json] : wrongShapes) {
        QTest::addRow("JSON of the wrong shape everywhere: %s", name)
            << Answer() << Always(Respond(200, json)) << Always(Respond(200, json))
            << TranslateOutcome::NoTranslation << QString() << all;
    }
    QTest::newRow("a refusal outweighs an answer without a translation")
        << html << tooMany << html << TranslateOutcome::Refused << QString() << all;
    const Answer empty = Always(Respond(200, {}));
    QTest::newRow("an answer without a translation outweighs no data")
        << empty << html << empty << TranslateOutcome::NoTranslation << QString() << all;
    QTest::newRow("nothing anywhere: no data")
        << empty << empty << empty << TranslateOutcome::NoData << QString() << all;
}

void TestServices::googleFallsBackWithinOnePress() {
    QFETCH(Answer, page);
    QFETCH(Answer, segments);
    QFETCH(Answer, dictionary);
    QFETCH(TranslateOutcome, outcome);
    QFETCH(QString, translation);
    QFETCH(QStringList, asked);
    LoopbackServer server(Google({page, segments, dictionary}), {.keepAlive = true});
    const TranslateResult result = ThroughGoogle(server);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.translation.value_or(QString()), translation);
    QCOMPARE(GoogleEndpoints(server), asked);
    for (const QByteArray &request : server.requests()) {
        QCOMPARE(SentText(request), u"猫"_s);
    }
    if (outcome == TranslateOutcome::Refused) {
        QVERIFY2(result.reason.startsWith(u"HTTP "_s), qPrintable(result.reason));
    }
}

void TestServices::googleAsksInTheTextsDirection_data() {
    QTest::addColumn<TranslateDirection>("direction");
    QTest::addColumn<QStringList>("targets");
    // "猫 a+b" as a query value.
    const QString text = u"%E7%8C%AB%20a%2Bb"_s;
    QTest::newRow("Ja2Ch") << TranslateDirection::Ja2Ch
                           << QStringList{
                                  u"/translate_a/single?client=dict-chrome-ex&sl=ja&tl=zh-CN&dt=t&"
                                  u"ie=UTF-8&oe=UTF-8&q="_s +
                                      text,
                                  u"/translate_a/t?client=dict-chrome-ex&sl=ja&tl=zh-CN&q="_s +
                                      text,
                                  u"/m?sl=ja&tl=zh-CN&hl=zh-CN&ie=UTF-8&q="_s + text};
    QTest::newRow("Ch2Ja") << TranslateDirection::Ch2Ja
                           << QStringList{
                                  u"/translate_a/single?client=dict-chrome-ex&sl=zh-CN&tl=ja&dt=t&"
                                  u"ie=UTF-8&oe=UTF-8&q="_s +
                                      text,
                                  u"/translate_a/t?client=dict-chrome-ex&sl=zh-CN&tl=ja&q="_s +
                                      text,
                                  u"/m?sl=zh-CN&tl=ja&hl=ja&ie=UTF-8&q="_s + text};
}

void TestServices::googleAsksInTheTextsDirection() {
    QFETCH(TranslateDirection, direction);
    QFETCH(QStringList, targets);
    LoopbackServer server(Google({}), {.keepAlive = true});
    TranslateText(u"猫 a+b"_s, direction, Choice(u"google"_s, server.root()));
    QStringList asked;
    for (const QByteArray &request : server.requests()) {
        asked.append(QString::fromLatin1(Target(request)));
        QVERIFY(request.startsWith("GET "));
        QVERIFY2(request.contains("\r\nUser-Agent: Mozilla/5.0 "), request.constData());
    }
    QCOMPARE(asked, targets);
}

void TestServices::longTextArrivesWholeFromEveryEndpoint_data() {
    QTest::addColumn<LoopbackServer::Script>("script");
    QTest::addColumn<QStringList>("refusing");  // asked once, for the first piece
    QTest::addColumn<QString>("answering");     // asked for every piece
    const Answer tooMany = Always(Respond(429, kSorryPage));
    QTest::newRow("Google as it answers today")
        << GoogleToday([](const QString &line) { return line; }) << QStringList() << u"segments"_s;
    QTest::newRow("the dictionary")
        << Google({.page = tooMany,
                   .segments = tooMany,
                   .dictionary = TranslatingBy(
                       [](const QString &piece) { return GoogleDictionary(LinesOf(piece)); })})
        << QStringList{u"segments"_s} << u"dictionary"_s;
    QTest::newRow("the page") << Google({.page = TranslatingBy(Itself),
                                         .segments = tooMany,
                                         .dictionary = tooMany})
                              << QStringList{u"segments"_s, u"dictionary"_s} << u"page"_s;
}

// Each piece's lines come back where they were; an endpoint that refused the first piece is not
// asked for the later ones.
void TestServices::longTextArrivesWholeFromEveryEndpoint() {
    QFETCH(LoopbackServer::Script, script);
    QFETCH(QStringList, refusing);
    QFETCH(QString, answering);
    const QString text = MixedLongText();
    LoopbackServer server(script, {.keepAlive = true});
    const TranslateResult result = ThroughGoogle(server, text);
    QCOMPARE(result.outcome, TranslateOutcome::Translated);
    QCOMPARE(result.translation->size(), text.size());
    QVERIFY(*result.translation == text);
    const QList<QByteArray> requests = server.requests();
    const qsizetype pieces = requests.size() - refusing.size();
    QVERIFY2(pieces >= 8, qPrintable(QString::number(pieces)));
    QCOMPARE(GoogleEndpoints(server), refusing + QStringList(pieces, answering));
    for (const QByteArray &request : requests) {
        const qsizetype address = server.root().size() + Target(request).size();
        QVERIFY2(address <= 8'000, qPrintable(QString::number(address)));
        QVERIFY(!Target(request).contains("client=gtx"));
        const QString piece = SentText(request);
        QVERIFY(!piece.contains(QChar::ReplacementCharacter));
        QVERIFY(!piece.front().isMark() && !piece.front().isLowSurrogate());
    }
    QCOMPARE(server.connections(), 1);
}

// An endpoint that refused is skipped for ten minutes; when all rest, the one whose rest ends
// first is asked, and only that one.
void TestServices::refusingEndpointRestsTenMinutes() {
    using namespace std::chrono;
    steady_clock::time_point now{};
    EndpointRests rests([&now] { return now; });
    bool dictionaryRefuses = false;
    const Answer tooMany = Always(Respond(429, kSorryPage));
    LoopbackServer server(Google({.page = tooMany,
                                  .segments = tooMany,
                                  .dictionary =
                                      [&dictionaryRefuses](const QString &text) {
                                          return dictionaryRefuses
                                                     ? Respond(429, kSorryPage)
                                                     : Respond(200, GoogleDictionary({text}));
                                      }}),
                          {.keepAlive = true});
    const auto press = [&](minutes at) {
        now = steady_clock::time_point(at);
        const qsizetype before = server.requests().size();
        const TranslateResult result = TranslateText(
            u"猫"_s, TranslateDirection::Ja2Ch, Choice(u"google"_s, server.root()), {}, &rests);
        return std::pair(result.outcome, GoogleEndpoints(server).mid(before));
    };
    using Press = std::pair<TranslateOutcome, QStringList>;
    const QString s = u"segments"_s, d = u"dictionary"_s, p = u"page"_s;
    QCOMPARE(press(0min), Press(TranslateOutcome::Translated, {s, d}));
    QCOMPARE(press(9min), Press(TranslateOutcome::Translated, {d}));
    QCOMPARE(press(10min), Press(TranslateOutcome::Translated, {s, d}));
    dictionaryRefuses = true;
    QCOMPARE(press(11min), Press(TranslateOutcome::Refused, {d, p}));
    // The rests end: segments at 20, dictionary and page at 21; then segments at 22.
    QCOMPARE(press(12min), Press(TranslateOutcome::Refused, {s}));
    QCOMPARE(press(13min), Press(TranslateOutcome::Refused, {d}));
    QCOMPARE(press(14min), Press(TranslateOutcome::Refused, {p}));
}

void TestServices::libreTranslatePostsAForm() {
    LoopbackServer server(
        LoopbackServer::sending(LoopbackServer::response(200, R"({"translatedText":"我喜欢猫"})")));
    ServiceChoice keyed = Choice(u"libretranslate"_s, server.root());
    keyed.key = u"k&y=1"_s;
    const TranslateResult result =
        TranslateText(u"猫が好き & more"_s, TranslateDirection::Ja2Ch, keyed);
    QCOMPARE(result.translation, std::optional(u"我喜欢猫"_s));
    const QByteArray request = server.requests().constFirst();
    QCOMPARE(server.requestLines(), QList<QByteArray>{"POST /translate HTTP/1.1"});
    QVERIFY(request.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
    const QByteArray form = Body(request);
    QCOMPARE(FieldValue(form, "q"), u"猫が好き & more"_s);
    QCOMPARE(FieldValue(form, "source"), u"ja"_s);
    QCOMPARE(FieldValue(form, "target"), u"zh"_s);
    QCOMPARE(FieldValue(form, "format"), u"text"_s);
    QCOMPARE(FieldValue(form, "api_key"), u"k&y=1"_s);
    QCOMPARE(form.count('&'), 4);

    LoopbackServer keyless(
        LoopbackServer::sending(LoopbackServer::response(200, R"({"translatedText":"猫"})")));
    TranslateText(u"猫"_s, TranslateDirection::Ch2Ja, Choice(u"libretranslate"_s, keyless.root()));
    const QByteArray keylessForm = Body(keyless.requests().constFirst());
    QCOMPARE(keylessForm, QByteArray("q=%E7%8C%AB&source=zh&target=ja&format=text"));
}

void TestServices::libreTranslateErrors_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<TranslateOutcome>("outcome");
    QTest::addColumn<QString>("serviceError");
    QTest::newRow("400") << 400 << QByteArray(R"({"error":"Invalid request: missing q parameter"})")
                         << TranslateOutcome::NoTranslation
                         << u"Invalid request: missing q parameter"_s;
    QTest::newRow("403") << 403 << QByteArray(R"({"error":"Invalid API key"})")
                         << TranslateOutcome::NoTranslation << u"Invalid API key"_s;
    QTest::newRow("429") << 429 << QByteArray(R"({"error":"Too many request limits violations"})")
                         << TranslateOutcome::Refused << u"Too many request limits violations"_s;
    QTest::newRow("500 without JSON") << 500 << QByteArray("Internal Server Error")
                                      << TranslateOutcome::NoTranslation << QString();
    QTest::newRow("translatedText not a string")
        << 200 << QByteArray(R"({"translatedText":["猫"]})") << TranslateOutcome::NoTranslation
        << QString();
}

void TestServices::libreTranslateErrors() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(TranslateOutcome, outcome);
    QFETCH(QString, serviceError);
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(status, body)));
    const TranslateResult result = TranslateText(u"猫"_s, TranslateDirection::Ja2Ch,
                                                 Choice(u"libretranslate"_s, server.root()));
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.serviceError, serviceError);
    QCOMPARE(result.reason, serviceError.isEmpty() ? u"HTTP %1"_s.arg(status) : serviceError);
}

void TestServices::httpsVerifiesCertificates_data() {
    QTest::addColumn<bool>("trusted");
    QTest::newRow("signed by the trusted authority") << true;
    QTest::newRow("self-signed") << false;
}

void TestServices::httpsVerifiesCertificates() {
    QFETCH(bool, trusted);
    const TestCertificates certificates;
    QVERIFY(certificates.isValid());
    LoopbackServer server(
        Google({.page = Always(Respond(200, GooglePage(u"安全"_s)))}),
        {.keepAlive = true,
         .tls = trusted ? certificates.signedByAuthority() : certificates.selfSigned()});
    QVERIFY(server.root().startsWith(u"https://"_s));
    const TranslateResult result =
        TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, Choice(u"google"_s, server.root()),
                      {.limits = {.connectTimeout = 5s, .exchangeTimeout = 5s},
                       .certificateAuthorities = certificates.authorityFile()});
    if (trusted) {
        QCOMPARE(result.translation, std::optional(u"安全"_s));
        return;
    }
    QCOMPARE(result.outcome, TranslateOutcome::NoData);
    QVERIFY2(result.reason.contains(u"certificate"_s), qPrintable(result.reason));
    QVERIFY(server.requests().isEmpty());
}

void TestServices::choosesTheService_data() {
    QTest::addColumn<std::optional<QString>>("option");
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<QString>("name");  // of each service of the chain, joined by ','
    QTest::addColumn<QString>("root");  // of the first service's first endpoint
    QTest::addColumn<QString>("error");
    using Option = std::optional<QString>;
    const QString names =
        u"The services: google, deepl, baidu, youdao, azure, tencent, caiyun, llm, libretranslate, "
        u"classic."_s;
    const ServiceChoice buildDefault =
        ParseServiceChain(QStringLiteral(QUORVANE_DEFAULT_SERVICE)).chain->front();
    QTest::newRow("build default")
        << Option() << QByteArray() << buildDefault.service->name.toString()
        << buildDefault.FirstRoot() << QString();
    QTest::newRow("environment") << Option() << QByteArray("libretranslate") << u"libretranslate"_s
                                 << u"http://127.0.0.1:5000"_s << QString();
    QTest::newRow("option over environment")
        << Option(u"google=https://mirror.example:8443"_s) << QByteArray("libretranslate")
        << u"google"_s << u"https://mirror.example:8443"_s << QString();
    QTest::newRow("classic at its build root")
        << Option(u"classic"_s) << QByteArray() << u"classic"_s << ServiceRoot() << QString();
    QTest::newRow("IPv6 root") << Option(u"libretranslate=http://[::1]:5000"_s) << QByteArray()
                               << u"libretranslate"_s << u"http://[::1]:5000"_s << QString();
    QTest::newRow("unknown name") << Option(u"bing"_s) << QByteArray() << QString() << QString()
                                  << u"Unknown service 'bing'. "_s + names;
    QTest::newRow("unknown name in the environment")
        << Option() << QByteArray("yandex") << QString() << QString()
        << u"Unknown service 'yandex'. "_s + names;
    QTest::newRow("a chain") << Option(u"deepl,baidu=https://127.0.0.1:9,google"_s) << QByteArray()
                             << u"deepl,baidu,google"_s << u"https://api.deepl.com"_s << QString();
    QTest::newRow("a chain with an unknown name")
        << Option(u"deepl,bing"_s) << QByteArray() << QString() << QString()
        << u"Unknown service 'bing'. "_s + names;
    QTest::newRow("an empty element") << Option(u"deepl,"_s) << QByteArray() << QString()
                                      << QString() << u"Unknown service ''. "_s + names;
    const QString rootRule =
        u"A root is http:// or https:// and a host, with an optional port "
        u"and no path. "_s +
        names;
    for (const char *root : {"ftp://example.org", "https://example.org/", "http://example.org/x",
                             "http://", "http://exa mple.org", "http://example.org:99999",
                             "http://user@example.org", "example.org", "http://example.org?q"}) {
        QTest::addRow("bad root %s", root)
            << Option(u"google="_s + QString::fromLatin1(root)) << QByteArray() << QString()
            << QString()
            << u"Not a service root: '%1'. "_s.arg(QString::fromLatin1(root)) + rootRule;
    }
}

void TestServices::choosesTheService() {
    QFETCH(std::optional<QString>, option);
    QFETCH(QByteArray, environment);
    QFETCH(QString, name);
    QFETCH(QString, root);
    QFETCH(QString, error);
    const ServiceChainOrError chosen = ChooseService(option, QString::fromUtf8(environment));
    QCOMPARE(chosen.error, error);
    QCOMPARE(chosen.chain.has_value(), error.isEmpty());
    if (chosen.chain) {
        QStringList names;
        for (const ServiceChoice &choice : *chosen.chain) {
            names.append(choice.service->name.toString());
        }
        QCOMPARE(names.join(u','), name);
        QCOMPARE(chosen.chain->front().FirstRoot(), root);
    }
}

void TestServices::helpOpensTheServicesPage_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("page");
    QTest::newRow("google") << u"google"_s << u"https://translate.google.com/?sl=ja&tl=zh-CN"_s;
    QTest::newRow("google elsewhere")
        << u"google=http://127.0.0.1:8"_s << u"http://127.0.0.1:8/?sl=ja&tl=zh-CN"_s;
    QTest::newRow("libretranslate") << u"libretranslate"_s << u"http://127.0.0.1:5000"_s;
    QTest::newRow("classic") << u"classic"_s << ServiceRoot() + u"/world/jiantizi/"_s;
}

void TestServices::helpOpensTheServicesPage() {
    QFETCH(QString, choice);
    QFETCH(QString, page);
    QCOMPARE(ParseServiceChain(choice).chain->front().HelpPage(), page);
}

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
