#include <QTest>
#include <thread>

#include "common/BuildInfo.h"
#include "common/RuntimeError.h"
#include "support/Gzip.h"
#include "support/LoopbackServer.h"
#include "translation/modPub.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestFetchPage : public QObject {
    Q_OBJECT

private slots:
    void returnsTheBodyOfWhateverResponseArrives_data();
    void returnsTheBodyOfWhateverResponseArrives();
    void sendsTheAddressUnchanged();
    void followsRedirects();
    void failsWhenNoServerListens();
    void failsWhenTheServerStaysSilent();
    void failsWhenTheBodyExceedsTheCap_data();
    void failsWhenTheBodyExceedsTheCap();
    void raisesForAnAddressThatCannotBeParsed();
    void exchangesReuseTheirConnection_data();
    void exchangesReuseTheirConnection();
    void eachServerOfARedirectKeepsItsConnection();
    void cancellationEndsAnExchangeAtOnce();
    void decodesUtf8AsBrowsersDo_data();
    void decodesUtf8AsBrowsersDo();
    void decodeBytesRaisesForAnUnknownCharset();
};

void TestFetchPage::returnsTheBodyOfWhateverResponseArrives_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("expected");
    const QByteArray page = u"<html>译文 あ</html>"_s.toUtf8();
    QTest::newRow("200 with non-ASCII")
        << LoopbackServer::response(200, page) << u"<html>译文 あ</html>"_s;
    QTest::newRow("404 with a page")
        << LoopbackServer::response(404, "not found") << u"not found"_s;
    QTest::newRow("500 with a page")
        << LoopbackServer::response(500, "<p>oops</p>") << u"<p>oops</p>"_s;
    QTest::newRow("declared charset is ignored")
        << LoopbackServer::response(200, page, "Content-Type: text/html; charset=Shift_JIS\r\n")
        << u"<html>译文 あ</html>"_s;
    QTest::newRow("empty body") << LoopbackServer::response(200, {}) << QString();
    QTest::newRow("cut off inside a character")
        << LoopbackServer::response(200, "a\xE3\x81") << u"a\uFFFD"_s;
    QTest::newRow("nothing trimmed") << LoopbackServer::response(200, "  x \r\n") << u"  x \r\n"_s;
    QTest::newRow("gzip content coding")
        << LoopbackServer::response(200, Gzip(page), "Content-Encoding: gzip\r\n")
        << u"<html>译文 あ</html>"_s;
    QTest::newRow("chunked") << LoopbackServer::chunkedResponse(200, {"ab", "cd"}) << u"abcd"_s;
    QTest::newRow("body cut off") << QByteArray(
                                         "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial")
                                  << QString();
    QTest::newRow("closed without an answer") << QByteArray() << QString();
    QTest::newRow("not HTTP") << QByteArray("SSH-2.0-hello\r\n") << QString();
}

void TestFetchPage::returnsTheBodyOfWhateverResponseArrives() {
    QFETCH(QByteArray, reply);
    QFETCH(QString, expected);
    LoopbackServer server(LoopbackServer::sending(reply));
    QCOMPARE(FetchPage(server.root() + u"/page"_s), expected);
}

void TestFetchPage::sendsTheAddressUnchanged() {
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(200, "ok")));
    FetchPage(server.root() + u"/world/jiantizi/?before=%E3%81%82&wb_lp=JACH&big5=no"_s);
    QCOMPARE(
        server.requestLines(),
        QList<QByteArray>{"GET /world/jiantizi/?before=%E3%81%82&wb_lp=JACH&big5=no HTTP/1.1"});
    QVERIFY(server.requests().constFirst().contains("\r\nUser-Agent: Quorvane/" QUORVANE_VERSION
                                                    "\r\n"));
}

void TestFetchPage::followsRedirects() {
    LoopbackServer server([](LoopbackServer::Exchange &exchange) {
        exchange.send(exchange.request().startsWith("GET /old ")
                          ? LoopbackServer::response(302, {}, "Location: /new\r\n")
                          : LoopbackServer::response(200, "moved here"));
    });
    QCOMPARE(FetchPage(server.root() + u"/old"_s), u"moved here"_s);
    QCOMPARE(server.requestLines(), (QList<QByteArray>{"GET /old HTTP/1.1", "GET /new HTTP/1.1"}));
}

void TestFetchPage::failsWhenNoServerListens() {
    QString root;
    {
        LoopbackServer gone(LoopbackServer::sending({}));
        root = gone.root();
    }
    QCOMPARE(FetchPage(root + u"/"_s), QString());
}

void TestFetchPage::failsWhenTheServerStaysSilent() {
    LoopbackServer server(
        [](LoopbackServer::Exchange &exchange) { exchange.drip(QByteArray(20, ' '), 100ms); });
    QCOMPARE(FetchPage(server.root() + u"/"_s,
                       {.limits = {.connectTimeout = 1s, .exchangeTimeout = 500ms}}),
             QString());
}

void TestFetchPage::failsWhenTheBodyExceedsTheCap_data() {
    QTest::addColumn<QByteArray>("reply");
    const QByteArray body(2000, 'x');
    QTest::newRow("plain") << LoopbackServer::response(200, body);
    QTest::newRow("chunked") << LoopbackServer::chunkedResponse(200,
                                                                {body.left(900), body.mid(900)});
    QTest::newRow("gzip, small on the wire")
        << LoopbackServer::response(200, Gzip(body), "Content-Encoding: gzip\r\n");
}

void TestFetchPage::failsWhenTheBodyExceedsTheCap() {
    QFETCH(QByteArray, reply);
    LoopbackServer server(LoopbackServer::sending(reply));
    QCOMPARE(FetchPage(server.root() + u"/"_s, {.limits = {.maxBodyBytes = 1000}}), QString());
}

void TestFetchPage::raisesForAnAddressThatCannotBeParsed() {
    QVERIFY_THROWS_EXCEPTION(RuntimeError, FetchPage(u"http://exa mple.com:99999/"_s));
}

void TestFetchPage::exchangesReuseTheirConnection_data() {
    QTest::addColumn<bool>("cached");
    QTest::addColumn<bool>("serverKeepsConnections");
    QTest::addColumn<int>("connections");
    QTest::newRow("one connection for all") << true << true << 1;
    QTest::newRow("without a cache, one each") << false << true << 5;
    // The server closes each connection after its answer without saying so: the next exchange
    // finds it closed and opens another.
    QTest::newRow("server closes idle connections") << true << false << 5;
}

void TestFetchPage::exchangesReuseTheirConnection() {
    QFETCH(bool, cached);
    QFETCH(bool, serverKeepsConnections);
    QFETCH(int, connections);
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::keepAliveResponse(200, "page")),
                          {.keepAlive = serverKeepsConnections});
    ConnectionCache cache;
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(FetchPage(server.root() + u"/"_s, {.connections = cached ? &cache : nullptr}),
                 u"page"_s);
    }
    QCOMPARE(server.requestLines().size(), 5);
    QCOMPARE(server.connections(), connections);
}

void TestFetchPage::eachServerOfARedirectKeepsItsConnection() {
    LoopbackServer target(LoopbackServer::sending(LoopbackServer::keepAliveResponse(200, "moved")),
                          {.keepAlive = true});
    LoopbackServer portal(LoopbackServer::sending(LoopbackServer::keepAliveResponse(
                              302, {}, "Location: " + target.root().toLatin1() + "/page\r\n")),
                          {.keepAlive = true});
    ConnectionCache cache;
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(FetchPage(portal.root() + u"/"_s, {.connections = &cache}), u"moved"_s);
    }
    QCOMPARE(portal.connections(), 1);
    QCOMPARE(target.connections(), 1);
    QCOMPARE(target.requestLines().size(), 5);
}

void TestFetchPage::cancellationEndsAnExchangeAtOnce() {
    // One byte, then silence until the client goes: only the cancellation can wake the exchange
    // before libcurl's own one-second wait ends.
    LoopbackServer silent([](LoopbackServer::Exchange &exchange) { exchange.drip("H", 5s); });
    FetchCancellation cancellation;
    std::chrono::steady_clock::time_point cancelled;
    std::thread canceller([&] {
        std::this_thread::sleep_for(300ms);
        cancelled = std::chrono::steady_clock::now();
        cancellation.Cancel();
    });
    const QString page = FetchPage(silent.root() + u"/"_s, {.cancellation = &cancellation});
    const auto returned = std::chrono::steady_clock::now();
    canceller.join();
    const qint64 afterCancel =
        std::chrono::duration_cast<std::chrono::milliseconds>(returned - cancelled).count();
    QCOMPARE(page, QString());
    QVERIFY2(afterCancel < 500, qPrintable(u"%1 ms"_s.arg(afterCancel)));
}

void TestFetchPage::decodesUtf8AsBrowsersDo_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("cut off after a character") << QByteArray("a\xE3\x81") << u"a\uFFFD"_s;
    QTest::newRow("cut off four-byte character") << QByteArray("\xF0\x9F\x98") << u"\uFFFD"_s;
    QTest::newRow("broken sequence, then ASCII") << QByteArray("\xE3\x81\x41") << u"\uFFFDA"_s;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << u"\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("overlong solidus") << QByteArray("\xC0\xAF") << u"\uFFFD\uFFFD"_s;
    QTest::newRow("past U+10FFFF")
        << QByteArray("\xF4\x90\x80\x80") << u"\uFFFD\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("stray bytes") << QByteArray("\xC3(\xA0\xA1\xF0\x28\x8C\xBC")
                                 << u"\uFFFD(\uFFFD\uFFFD\uFFFD(\uFFFD\uFFFD"_s;
    QTest::newRow("every length, whole")
        << QByteArray("a\xC2\xA0\xE4\xB8\xAD\xF0\x9F\x98\x80") << u"a\u00A0中😀"_s;
    QTest::newRow("leading byte-order mark is dropped")
        << QByteArray("\xEF\xBB\xBFtext") << u"text"_s;
    QTest::newRow("a later one stays") << QByteArray("a\xEF\xBB\xBF") << u"a\uFEFF"_s;
    QTest::newRow("NUL stays") << QByteArray("a\0b", 3) << u"a\0b"_s;
}

void TestFetchPage::decodesUtf8AsBrowsersDo() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DecodeBytes(bytes, u"UTF-8"_s), text);
}

void TestFetchPage::decodeBytesRaisesForAnUnknownCharset() {
    QCOMPARE(DecodeBytes("\xE4\xB8\xAD", u"UTF-8"_s), u"中"_s);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, DecodeBytes("x", u"no-such-charset"_s));
}

QTEST_GUILESS_MAIN(TestFetchPage)
#include "tst_fetchpage.moc"
