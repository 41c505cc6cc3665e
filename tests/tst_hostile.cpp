#include <sys/resource.h>
#include <QElapsedTimer>
#include <QTest>
#include <QTextEdit>

#include "support/Gzip.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "translation/TranslateRequest.h"
#include "translation/modPub.h"
#include "ui/frmMain.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace window_driver;

Q_DECLARE_METATYPE(LoopbackServer::Script)

namespace {

constexpr qint64 kRowBoundMs = 15'000;
const QByteArray kTranslationPage = stand_in::ClassicPage(u"译文"_s);

LoopbackServer::Script RedirectTo(const QByteArray &location) {
    return LoopbackServer::sending(
        LoopbackServer::response(302, {}, "Location: " + location + "\r\n"));
}

// The limits of every exchange here: short waits, the real body cap.
FetchLimits HostileLimits() {
    FetchLimits limits;
    limits.connectTimeout = 1s;
    limits.exchangeTimeout = 2s;
    return limits;
}

}  // namespace

class TestHostile : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase();
    void fetchPageSurvivesTheServer_data();
    void fetchPageSurvivesTheServer();
    void googleReadsAPageOfAnyShape_data();
    void googleReadsAPageOfAnyShape();
    void googleSurvivesTheServer_data();
    void googleSurvivesTheServer();
    void translateCommandSurvivesTheServer_data();
    void translateCommandSurvivesTheServer();
    void pastedTextIsSentByteForByte_data();
    void pastedTextIsSentByteForByte();
    void textTooLongToSendIsReportedAndTheWindowGoesOn();
};

// The whole table, with its bodies over the cap, stays within a bounded memory.
void TestHostile::cleanupTestCase() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer's shadow memory and quarantine make the peak meaningless");
#endif
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakMiB = usage.ru_maxrss / 1024;
    qInfo("peak memory %ld MiB", peakMiB);
    QVERIFY2(peakMiB < 200, qPrintable(u"peak %1 MiB"_s.arg(peakMiB)));
}

void TestHostile::fetchPageSurvivesTheServer_data() {
    QTest::addColumn<LoopbackServer::Script>("script");
    QTest::addColumn<QString>("expected");
    const qsizetype cap = HostileLimits().maxBodyBytes;
    const QByteArray body = kTranslationPage + QByteArray(4000, 'x');

    QTest::newRow("reset mid-body") << LoopbackServer::Script([body](auto &exchange) {
        exchange.send(LoopbackServer::response(200, body).chopped(2000));
        exchange.reset();
    }) << QString();
    QTest::newRow("drips a byte a second past the time-out")
        << LoopbackServer::Script(
               [body](auto &exchange) { exchange.drip(LoopbackServer::response(200, body), 1s); })
        << QString();
    // The large bodies are made when served, so the table does not hold them.
    QTest::newRow("body over the cap") << LoopbackServer::Script([cap](auto &exchange) {
        exchange.send(LoopbackServer::response(200, QByteArray(cap + 1, 'x')));
    }) << QString();
    QTest::newRow("chunked body over the cap") << LoopbackServer::Script([](auto &exchange) {
        exchange.send(
            LoopbackServer::chunkedResponse(200, QList<QByteArray>(33, QByteArray(1 << 20, 'x'))));
    }) << QString();
    QTest::newRow("gzip bomb") << LoopbackServer::sending(LoopbackServer::response(
                                      200, Gzip(QByteArray(1 << 20, '\0'), cap / (1 << 20) + 1),
                                      "Content-Encoding: gzip\r\n"))
                               << QString();
    QTest::newRow("redirect loop") << RedirectTo("/again") << QString();
    QTest::newRow("redirect to file://") << RedirectTo("file:///etc/passwd") << QString();
    QTest::newRow("redirect to ftp://") << RedirectTo("ftp://127.0.0.1:21/") << QString();
    QTest::newRow("malformed chunking")
        << LoopbackServer::sending(
               "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab\r\nXYZ\r\n0\r\n\r\n")
        << QString();
    QTest::newRow("header line of a megabyte")
        << LoopbackServer::sending("HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(1 << 20, 'h') +
                                   "\r\n\r\nbody")
        << QString();
}

void TestHostile::fetchPageSurvivesTheServer() {
    QFETCH(LoopbackServer::Script, script);
    QFETCH(QString, expected);
    LoopbackServer server(script);
    QElapsedTimer clock;
    clock.start();
    const QString page = FetchPage(server.root() + u"/again"_s, {.limits = HostileLimits()});
    QCOMPARE(page.size(), expected.size());
    QCOMPARE(page, expected);
    QVERIFY(clock.elapsed() < kRowBoundMs);
    QVERIFY(server.requestLines().size() <= HostileLimits().maxRedirects + 1);
}

void TestHostile::googleReadsAPageOfAnyShape_data() {
    QTest::addColumn<QByteArray>("unit");  // repeated to 4 MB
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("opening tags that never close") << QByteArray("<div a ") << QByteArray();
    QTest::newRow("divs of other classes")
        << QByteArray("<div class=\"x\" data-class=\"result-container\">") << QByteArray();
    QTest::newRow("a result that never ends")
        << QByteArray("<div class=\"result-container\">") << QByteArray("text");
}

// Read in one pass: a hostile page is "no translation" well within the bound, not a hang.
void TestHostile::googleReadsAPageOfAnyShape() {
    QFETCH(QByteArray, unit);
    QFETCH(QByteArray, ending);
    const QByteArray page = unit.repeated((4 << 20) / unit.size()) + ending;
    LoopbackServer server(
        stand_in::Google({.page = stand_in::Always(LoopbackServer::keepAliveResponse(200, page))}),
        {.keepAlive = true});
    QElapsedTimer clock;
    clock.start();
    const TranslateResult result =
        TranslateText(u"猫"_s, TranslateDirection::Ja2Ch,
                      stand_in::Choice(u"google"_s, server.root()), {.limits = HostileLimits()});
    QCOMPARE(result.outcome, TranslateOutcome::NoTranslation);
    QVERIFY(clock.elapsed() < kRowBoundMs);
}

void TestHostile::googleSurvivesTheServer_data() {
    fetchPageSurvivesTheServer_data();
}

// Every endpoint of the row meets the same server; redirects are read, never followed.
void TestHostile::googleSurvivesTheServer() {
    QFETCH(LoopbackServer::Script, script);
    LoopbackServer server(script);
    QElapsedTimer clock;
    clock.start();
    const TranslateResult result =
        TranslateText(u"猫"_s, TranslateDirection::Ja2Ch,
                      stand_in::Choice(u"google"_s, server.root()), {.limits = HostileLimits()});
    QVERIFY(result.outcome != TranslateOutcome::Translated);
    QVERIFY(!result.translation);
    QVERIFY(clock.elapsed() < kRowBoundMs);
    QVERIFY(server.requestLines().size() <= 3);
}

void TestHostile::translateCommandSurvivesTheServer_data() {
    QTest::addColumn<LoopbackServer::Script>("script");
    QTest::addColumn<bool>("failureBox");
    QTest::addColumn<QString>("status");
    QTest::newRow("silence") << LoopbackServer::Script([](auto &exchange) {
        exchange.drip(QByteArray(10, ' '), 1s);
    }) << true << u"翻译中 ..."_s;
    QTest::newRow("redirect loop") << RedirectTo("/loop") << true << u"翻译中 ..."_s;
    QTest::newRow("error page") << LoopbackServer::sending(
                                       LoopbackServer::response(500, "<h1>down</h1>"))
                                << false << u"错误:返回的页面中找不到译文"_s;
}

void TestHostile::translateCommandSurvivesTheServer() {
    QFETCH(LoopbackServer::Script, script);
    QFETCH(bool, failureBox);
    QFETCH(QString, status);
    LoopbackServer server(script);
    frmMain window(ServiceChain{stand_in::Classic(server.root())}, {.limits = HostileLimits()});
    window.show();
    Control<QTextEdit>(&window, u"txtTop"_s)->setPlainText(u"x"_s);
    const ModalBox box = AnswerModalBox([&window] { Click(&window, u"imgJa2Ch"_s); });
    QCOMPARE(!box.text.isEmpty(), failureBox);
    QCOMPARE(Control<QTextEdit>(&window, u"rtbMsg"_s)->toPlainText(), status);
}

void TestHostile::pastedTextIsSentByteForByte_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("utf8");
    QTest::newRow("unpaired surrogates") << (u"a"_s + QChar(0xD800) + u"b"_s + QChar(0xDFFF))
                                         << QByteArray(
                                                "a\xEF\xBF\xBD"
                                                "b\xEF\xBF\xBD");
    QTest::newRow("NUL characters") << u"a\0b"_s << QByteArray("a\0b", 3);
    QTest::newRow("emoji") << u"👍🏽🇯🇵"_s << u"👍🏽🇯🇵"_s.toUtf8();
    QTest::newRow("right-to-left") << u"שלום مرحبا"_s << u"שלום مرحبا"_s.toUtf8();
    QTest::newRow("looks like HTML") << u"<script>alert(1)</script>&amp;<b>"_s
                                     << QByteArray("<script>alert(1)</script>&amp;<b>");
    QTest::newRow("query syntax") << u"a&wb_lp=CHJA#x?y=%41"_s
                                  << QByteArray("a&wb_lp=CHJA#x?y=%41");
    QTest::newRow("no-break space, line separator") << u"a\u00A0b\u2028c"_s
                                                    << QByteArray(
                                                           "a\xC2\xA0"
                                                           "b\xE2\x80\xA8"
                                                           "c");
    QTest::newRow("paragraph breaks go out as LF") << u"a\r\nb\nc"_s << QByteArray("a\nb\nc");
}

void TestHostile::pastedTextIsSentByteForByte() {
    QFETCH(QString, text);
    QFETCH(QByteArray, utf8);
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(200, kTranslationPage)));
    frmMain window(ServiceChain{stand_in::Classic(server.root())}, {.limits = HostileLimits()});
    window.show();
    Control<QTextEdit>(&window, u"txtTop"_s)->setPlainText(text);
    Click(&window, u"imgCh2Ja"_s);
    QCOMPARE(server.requestLines().size(), 1);
    const QByteArray line = server.requestLines().constFirst();
    const qsizetype start = line.indexOf("before=") + 7;
    const QByteArray sent = line.mid(start, line.indexOf("&wb_lp=") - start);
    QCOMPARE(QByteArray::fromPercentEncoding(sent), utf8);
    QCOMPARE(sent.size(), utf8.size() * 3);
    QCOMPARE(Control<QTextEdit>(&window, u"txtDown"_s)->toPlainText(), u"译文"_s);
}

void TestHostile::textTooLongToSendIsReportedAndTheWindowGoesOn() {
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(200, kTranslationPage)));
    frmMain window(ServiceChain{stand_in::Classic(server.root())}, {.limits = HostileLimits()});
    window.show();
    auto *input = Control<QTextEdit>(&window, u"txtTop"_s);
    input->setPlainText(QString(1 << 20, u'字'));
    const ModalBox box = AnswerModalBox([&window] { Click(&window, u"imgJa2Ch"_s); });
    QVERIFY(box.text.contains(u"减少一次性翻译的文字的数量"_s));
    QVERIFY(server.requestLines().isEmpty());
    QCOMPARE(input->toPlainText().size(), 1 << 20);

    input->setPlainText(u"短い"_s);
    Click(&window, u"imgJa2Ch"_s);
    QCOMPARE(Control<QTextEdit>(&window, u"txtDown"_s)->toPlainText(), u"译文"_s);
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
