#include <dlfcn.h>
#include <netdb.h>

#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstring>

#include "common/RuntimeError.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "translation/TranslateCommand.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A window that records what the command does to it.
class ViewStub : public TranslateCommandView {
public:
    QString input = u"テスト"_s;
    QStringList calls;

    QString inputText() const override { return input; }
    void setInputHighlighted(bool highlighted) override {
        calls.append(u"highlight %1"_s.arg(highlighted));
    }
    void setStatusText(const QString &text) override { calls.append(u"status "_s + text); }
    void setOutputText(const QString &text) override { calls.append(u"output "_s + text); }
    void showFailureMessage(const QString &) override { calls.append(u"failure"_s); }
};

// A service that holds its answer until released, or for five seconds.
class HeldService {
public:
    HeldService()
        : mServer([this](LoopbackServer::Exchange &exchange) {
              for (int i = 0; i < 500 && !mReleased; ++i) {
                  std::this_thread::sleep_for(10ms);
              }
              exchange.send(LoopbackServer::response(200, stand_in::ClassicPage(u"试验"_s)));
          }) {}
    ~HeldService() { release(); }
    void release() { mReleased = true; }
    const LoopbackServer &server() const { return mServer; }

private:
    std::atomic<bool> mReleased{false};
    LoopbackServer mServer;
};

constexpr char kStalledHost[] = "stalled.invalid";

}  // namespace

// Looking up kStalledHost takes eight seconds, as on a network whose name server does not
// answer; every other name is looked up as usual.
extern "C" int getaddrinfo(const char *node, const char *service, const addrinfo *hints,
                           addrinfo **found) {
    if (node && std::strcmp(node, kStalledHost) == 0) {
        std::this_thread::sleep_for(8s);
        return EAI_AGAIN;
    }
    using Lookup = int (*)(const char *, const char *, const addrinfo *, addrinfo **);
    static const auto lookUp = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return lookUp(node, service, hints, found);
}

class TestTranslateCommand : public QObject {
    Q_OBJECT

private slots:
    void eventsAreDispatchedDuringTheExchange();
    void secondRunDuringTheExchangeSendsNothing();
    void unloadDuringTheExchangeAbandonsItAtOnce_data();
    void unloadDuringTheExchangeAbandonsItAtOnce();
    void runtimeErrorOfTheExchangeReachesTheCaller();
    void elapsedSecondsText_data();
    void elapsedSecondsText();
};

void TestTranslateCommand::eventsAreDispatchedDuringTheExchange() {
    HeldService service;
    ViewStub view;
    TranslateCommand command(view, {stand_in::Classic(service.server().root())});
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (++ticks == 10) {
            service.release();
        }
    });
    ticker.start(20);
    command.Run(TranslateDirection::Ja2Ch);
    QVERIFY(ticks >= 10);
    QCOMPARE(view.calls.mid(0, 2), (QStringList{u"status 翻译中 ..."_s, u"output 试验"_s}));
    QVERIFY(view.calls.value(2).startsWith(u"status 总计耗时: "_s));
    QVERIFY(!command.isRunning());
}

void TestTranslateCommand::secondRunDuringTheExchangeSendsNothing() {
    HeldService service;
    ViewStub view;
    TranslateCommand command(view, {stand_in::Classic(service.server().root())});
    QTimer::singleShot(100, this, [&] {
        command.Run(TranslateDirection::Ch2Ja);
        service.release();
    });
    command.Run(TranslateDirection::Ja2Ch);
    QCOMPARE(service.server().requestLines().size(), 1);
    QVERIFY(service.server().requestLines().constFirst().contains("wb_lp=JACH"));
    QCOMPARE(view.calls.size(), 3);
}

void TestTranslateCommand::unloadDuringTheExchangeAbandonsItAtOnce_data() {
    QTest::addColumn<bool>("stalledLookup");
    QTest::newRow("a silent server") << false;
    QTest::newRow("a name lookup that stalls") << true;
}

void TestTranslateCommand::unloadDuringTheExchangeAbandonsItAtOnce() {
    QFETCH(bool, stalledLookup);
    HeldService service;
    ViewStub view;
    TranslateCommand command(
        view,
        {stand_in::Classic(stalledLookup ? u"http://%1:9"_s.arg(QLatin1StringView(kStalledHost))
                                         : service.server().root())});
    QElapsedTimer sinceUnload;
    QTimer::singleShot(200, this, [&] {
        sinceUnload.start();
        command.Abandon();
    });
    command.Run(TranslateDirection::Ja2Ch);
    // Far below the service's five seconds and libcurl's own one-second wait.
    QVERIFY2(sinceUnload.elapsed() < 500, qPrintable(u"%1 ms"_s.arg(sinceUnload.elapsed())));
    QCOMPARE(view.calls, QStringList{u"status 翻译中 ..."_s});
    QVERIFY(!command.isRunning());
    QCOMPARE(command.pageHtml(), QString());
}

// An address the client cannot parse is a runtime error, raised on the caller's thread.
void TestTranslateCommand::runtimeErrorOfTheExchangeReachesTheCaller() {
    ViewStub view;
    // A root that no choice accepts, so that the exchange raises.
    TranslateCommand command(view, {{stand_in::Classic(u"http://127.0.0.1:9"_s).service,
                                     u"http://exa mple.com:99999"_s}});
    QVERIFY_THROWS_EXCEPTION(RuntimeError, command.Run(TranslateDirection::Ja2Ch));
    QVERIFY(!command.isRunning());
}

void TestTranslateCommand::elapsedSecondsText_data() {
    QTest::addColumn<qint32>("ms");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("0 ms") << 0 << c << u"0"_s;
    QTest::newRow("50 ms") << 50 << c << u"0.05"_s;
    QTest::newRow("999 ms") << 999 << c << u"0.999"_s;
    QTest::newRow("1500 ms") << 1500 << c << u"1.5"_s;
    QTest::newRow("2000 ms") << 2000 << c << u"2"_s;
    QTest::newRow("12345 ms") << 12345 << c << u"12.345"_s;
    QTest::newRow("1 ms") << 1 << c << u"0.001"_s;
    QTest::newRow("no grouping, no exponent") << 2147483647 << c << u"2147483.647"_s;
    QTest::newRow("comma separator, 50 ms") << 50 << german << u"0,05"_s;
    QTest::newRow("comma separator, 12345 ms") << 12345 << german << u"12,345"_s;
    QTest::newRow("comma separator, large") << 1234567890 << german << u"1234567,89"_s;
}

void TestTranslateCommand::elapsedSecondsText() {
    QFETCH(qint32, ms);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(ElapsedSecondsText(ms, locale), text);
}

QTEST_GUILESS_MAIN(TestTranslateCommand)
#include "tst_translatecommand.moc"
