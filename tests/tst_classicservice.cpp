#include <QTest>

#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "translation/ClassicService.h"
#include "translation/HtmlCharacterReferences.h"
#include "translation/TranslateRequest.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TranslateDirection)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

const QString kOpeningTag = u"<textarea name=\"after\" id=\"after\">"_s;

QString PageWith(const QString &content) {
    return QString::fromUtf8(stand_in::ClassicPage(content));
}

}  // namespace

class TestClassicService : public QObject {
    Q_OBJECT

private slots:
    void buildsTheRequestAddress_data();
    void buildsTheRequestAddress();
    void extractsTheFirstAfterTextArea_data();
    void extractsTheFirstAfterTextArea();
    void decodesCharacterReferences_data();
    void decodesCharacterReferences();
    void translatesThroughTheService();
    void reportsAnEmptyPageWhenNoDataComesBack();
    void hasNoTranslationForAPageWithoutTheTextArea();
};

void TestClassicService::buildsTheRequestAddress_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<TranslateDirection>("direction");
    QTest::addColumn<QString>("tail");
    QTest::newRow("Ja2Ch") << u"あ"_s << TranslateDirection::Ja2Ch
                           << u"/world/jiantizi/?before=%E3%81%82&wb_lp=JACH&big5=no"_s;
    QTest::newRow("Ch2Ja") << u"abc"_s << TranslateDirection::Ch2Ja
                           << u"/world/jiantizi/?before=%61%62%63&wb_lp=CHJA&big5=no"_s;
    QTest::newRow("separators stay inside the value")
        << u"a&wb_lp=X"_s << TranslateDirection::Ja2Ch
        << u"/world/jiantizi/?before=%61%26%77%62%5F%6C%70%3D%58&wb_lp=JACH&big5=no"_s;
}

void TestClassicService::buildsTheRequestAddress() {
    QFETCH(QString, text);
    QFETCH(TranslateDirection, direction);
    QFETCH(QString, tail);
    QCOMPARE(BuildTranslateUrl(text, direction, u"http://service.test"_s),
             u"http://service.test"_s + tail);
    QCOMPARE(BuildTranslateUrl(text, direction), ServiceRoot() + tail);
}

void TestClassicService::extractsTheFirstAfterTextArea_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<std::optional<QString>>("expected");
    using Result = std::optional<QString>;
    QTest::newRow("plain") << PageWith(u"译文"_s) << Result(u"译文"_s);
    QTest::newRow("first of two") << PageWith(u"one"_s) + PageWith(u"two"_s) << Result(u"one"_s);
    QTest::newRow("tags in capitals")
        << u"<TEXTAREA NAME=\"AFTER\" ID=\"AFTER\">x</TEXTAREA>"_s << Result(u"x"_s);
    QTest::newRow("several lines, untrimmed")
        << PageWith(u" a\r\nb\n "_s) << Result(u" a\r\nb\n "_s);
    QTest::newRow("references stay raw") << PageWith(u"&amp;&lt;"_s) << Result(u"&amp;&lt;"_s);
    QTest::newRow("empty text area") << PageWith({}) << Result(QString());
    QTest::newRow("ends at the first closing tag")
        << kOpeningTag + u"a</textarea>b</textarea>"_s << Result(u"a"_s);
    QTest::newRow("attributes reordered")
        << u"<textarea id=\"after\" name=\"after\">x</textarea>"_s << Result();
    QTest::newRow("other spacing")
        << u"<textarea  name=\"after\" id=\"after\">x</textarea>"_s << Result();
    QTest::newRow("further attribute")
        << u"<textarea name=\"after\" id=\"after\" rows=\"3\">x</textarea>"_s << Result();
    QTest::newRow("single quotes")
        << u"<textarea name='after' id='after'>x</textarea>"_s << Result();
    QTest::newRow("no closing tag") << kOpeningTag + u"x"_s << Result();
    QTest::newRow("closing tag only before") << u"</textarea>"_s + kOpeningTag << Result();
    QTest::newRow("empty page") << QString() << Result();
    const QString huge(20'000'000, u'訳');
    QTest::newRow("capture of 20 million characters") << PageWith(huge) << Result(huge);
    QTest::newRow("after 20 million characters") << huge + PageWith(u"x"_s) << Result(u"x"_s);
}

void TestClassicService::extractsTheFirstAfterTextArea() {
    QFETCH(QString, page);
    QFETCH(std::optional<QString>, expected);
    QCOMPARE(ExtractTranslation(page), expected);
}

void TestClassicService::decodesCharacterReferences_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("no reference") << u"plain 文字"_s << u"plain 文字"_s;
    QTest::newRow("named") << u"&amp;&lt;&gt;&quot;&nbsp;"_s << u"&<>\"\u00A0"_s;
    QTest::newRow("decimal") << u"&#12354;"_s << u"あ"_s;
    QTest::newRow("hexadecimal, either case") << u"&#x3042;&#X3042;"_s << u"ああ"_s;
    QTest::newRow("outside the BMP") << u"&#x1F600;&Afr;"_s << u"😀\U0001D504"_s;
    QTest::newRow("two characters") << u"&nGt;"_s << u"\u226B\u20D2"_s;
    QTest::newRow("legacy name without semicolon") << u"&copy2010"_s << u"©2010"_s;
    QTest::newRow("longest legacy prefix") << u"&notit;"_s << u"¬it;"_s;
    QTest::newRow("full name beats its prefix") << u"&notin;"_s << u"∉"_s;
    QTest::newRow("unknown name stays") << u"&bogus; &"_s << u"&bogus; &"_s;
    QTest::newRow("name needs its semicolon") << u"&hellip"_s << u"&hellip"_s;
    QTest::newRow("no digits stays") << u"&#; &#x; &#"_s << u"&#; &#x; &#"_s;
    QTest::newRow("semicolon optional for numbers") << u"&#65B"_s << u"AB"_s;
    QTest::newRow("zero, surrogate, too large")
        << u"&#0;&#xD800;&#x110000;&#99999999999999;"_s << u"\uFFFD\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("C1 controls as windows-1252") << u"&#128;&#x9F;&#x81;"_s << u"€Ÿ\u0081"_s;
    QTest::newRow("decoded once only") << u"&amp;amp;"_s << u"&amp;"_s;
}

void TestClassicService::decodesCharacterReferences() {
    QFETCH(QString, raw);
    QFETCH(QString, decoded);
    QCOMPARE(DecodeCharacterReferences(raw), decoded);
}

void TestClassicService::translatesThroughTheService() {
    LoopbackServer server(LoopbackServer::sending(
        LoopbackServer::response(200, PageWith(u"鱼 &amp; 熊掌"_s).toUtf8())));
    const TranslateResult result =
        TranslateText(u"魚"_s, TranslateDirection::Ja2Ch, stand_in::Classic(server.root()));
    QCOMPARE(result.page, PageWith(u"鱼 &amp; 熊掌"_s));
    QCOMPARE(result.translation, std::optional<QString>(u"鱼 & 熊掌"_s));
    QCOMPARE(
        server.requestLines(),
        QList<QByteArray>{"GET /world/jiantizi/?before=%E9%AD%9A&wb_lp=JACH&big5=no HTTP/1.1"});
}

void TestClassicService::reportsAnEmptyPageWhenNoDataComesBack() {
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(200, {})));
    const TranslateResult result =
        TranslateText(u"x"_s, TranslateDirection::Ch2Ja, stand_in::Classic(server.root()));
    QVERIFY(result.page.isEmpty());
    QVERIFY(!result.translation.has_value());
}

void TestClassicService::hasNoTranslationForAPageWithoutTheTextArea() {
    LoopbackServer server(
        LoopbackServer::sending(LoopbackServer::response(503, "<html>busy</html>")));
    const TranslateResult result =
        TranslateText(u"x"_s, TranslateDirection::Ch2Ja, stand_in::Classic(server.root()));
    QCOMPARE(result.page, u"<html>busy</html>"_s);
    QVERIFY(!result.translation.has_value());
}

QTEST_GUILESS_MAIN(TestClassicService)
#include "tst_classicservice.moc"
