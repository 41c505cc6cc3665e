#include <QProcess>
#include <QSet>
#include <QTest>

#include "cli/CommandLine.h"
#include "common/BuildInfo.h"
#include "support/CommandLineRun.h"
#include "support/KeyedStandIns.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "support/TestCertificates.h"
#include "translation/Messages.h"
#include "translation/TranslateRequest.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(LoopbackServer::Script)

namespace {

// The program of this build as a child, with no display of any kind in its environment and the
// given service: the one a user of the terminal would choose with QUORVANE_SERVICE.
void StartProgram(QProcess &program, const QStringList &arguments, const QString &service) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s}) {
        environment.remove(name);
    }
    environment.insert(u"QUORVANE_SERVICE"_s, service);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUORVANE_PROGRAM), arguments);
}

Run RunProgram(const QStringList &arguments, const QByteArray &input, const QString &service = {}) {
    QProcess program;
    StartProgram(program, arguments, service);
    if (!program.waitForStarted(10'000)) {
        return {};
    }
    program.write(input);
    program.closeWriteChannel();
    if (!program.waitForFinished(30'000) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        return {};
    }
    return {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
}

}  // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void translatesFromTheTerminal_data();
    void translatesFromTheTerminal();
    void answersHelpAndVersion_data();
    void answersHelpAndVersion();
    void choosesAndReportsTheService_data();
    void choosesAndReportsTheService();
    void chainFallsBackAndNamesEachService_data();
    void chainFallsBackAndNamesEachService();
    void unfitKeyIsRefusedBeforeAnyRequest_data();
    void unfitKeyIsRefusedBeforeAnyRequest();
    void keyCommandsNeedASecretService_data();
    void keyCommandsNeedASecretService();
    void untrustedCertificateIsNoDataWithItsReason();
    void asksForTheWindow_data();
    void asksForTheWindow();
    void qtOptionsGoToTheWindow();
};

void TestCommandLine::translatesFromTheTerminal_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("errors");
    QTest::addColumn<QByteArray>("sent");  // the text the service received; "" for no request
    QTest::addColumn<QByteArray>("code");

    const QByteArray page = stand_in::ClassicPage(u"译文"_s);
    const QByteArray none;
    QTest::newRow("arguments joined by spaces")
        << QStringList{u"--ja2ch"_s, u"猫が"_s, u"好き"_s} << none << page << 0
        << QByteArray("译文\n") << QString() << u"猫が 好き"_s.toUtf8() << QByteArray("JACH");
    QTest::newRow("standard input, final LF dropped")
        << QStringList{u"--ch2ja"_s} << u"你好\n"_s.toUtf8() << page << 0 << QByteArray("译文\n")
        << QString() << u"你好"_s.toUtf8() << QByteArray("CHJA");
    QTest::newRow("standard input, final CRLF dropped, the others kept")
        << QStringList{u"--ch2ja"_s} << QByteArray("a\r\n b\u00A0\r\n\r\n") << page << 0
        << QByteArray("译文\n") << QString() << QByteArray("a\r\n b\u00A0\r\n")
        << QByteArray("CHJA");
    QTest::newRow("--auto, kana") << QStringList{u"--auto"_s, u"ねこ"_s} << none << page << 0
                                  << QByteArray("译文\n") << QString() << u"ねこ"_s.toUtf8()
                                  << QByteArray("JACH");
    QTest::newRow("--auto, hanzi only")
        << QStringList{u"--auto"_s, u"猫"_s} << none << page << 0 << QByteArray("译文\n")
        << QString() << u"猫"_s.toUtf8() << QByteArray("CHJA");
    QTest::newRow("references decoded")
        << QStringList{u"--ja2ch"_s, u"x"_s} << none
        << stand_in::ClassicPage(u"&lt;b&gt; &amp;&#x732B;"_s) << 0 << u"<b> &猫\n"_s.toUtf8()
        << QString() << QByteArray("x") << QByteArray("JACH");
    QTest::newRow("page without a translation")
        << QStringList{u"--ja2ch"_s, u"x"_s} << none << QByteArray("<html>busy</html>") << 65
        << QByteArray() << NoTranslationMessage() + u"\nHTTP 200"_s << QByteArray("x")
        << QByteArray("JACH");
    QTest::newRow("no data") << QStringList{u"--ja2ch"_s, u"x"_s} << none << QByteArray() << 69
                             << QByteArray()
                             << FailureMessage(u"ROOT"_s) + u"\nHTTP 200, empty answer"_s
                             << QByteArray("x") << QByteArray("JACH");
    QTest::newRow("empty standard input") << QStringList{u"--ja2ch"_s} << none << page << 64
                                          << QByteArray() << EmptyInputMessage() << none << none;
    QTest::newRow("only a line end") << QStringList{u"--ja2ch"_s} << QByteArray("\r\n") << page
                                     << 64 << QByteArray() << EmptyInputMessage() << none << none;
    QTest::newRow("unknown option") << QStringList{u"--bogus"_s, u"x"_s} << none << page << 64
                                    << QByteArray() << u"Unknown option 'bogus'."_s << none << none;
    QTest::newRow("two directions")
        << QStringList{u"--ja2ch"_s, u"--ch2ja"_s, u"x"_s} << none << page << 64 << QByteArray()
        << u"Choose one direction only."_s << none << none;
    QTest::newRow("text without a direction")
        << QStringList{u"x"_s} << none << page << 64 << QByteArray()
        << u"Choose a direction: --ja2ch, --ch2ja or --auto."_s << none << none;
}

void TestCommandLine::translatesFromTheTerminal() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, page);
    QFETCH(int, status);
    QFETCH(QByteArray, output);
    QFETCH(QString, errors);
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, code);
    LoopbackServer service(LoopbackServer::sending(LoopbackServer::response(200, page)));
    errors.replace(u"ROOT"_s, service.root());
    // A few rows start the real program: no display, standard input, the environment's service,
    // its exit status. The others run the same code in this process.
    static const QSet<QString> kRealProgramRows{
        u"arguments joined by spaces"_s, u"standard input, final LF dropped"_s, u"no data"_s};
    const Run run =
        kRealProgramRows.contains(QString::fromLatin1(QTest::currentDataTag()))
            ? RunProgram(arguments, input, u"classic="_s + service.root())
            : RunInProcess(QStringList{u"--service=classic="_s + service.root()} + arguments,
                           input);
    QCOMPARE(run.status, status);
    QCOMPARE(run.output, output);
    QCOMPARE(QString::fromUtf8(run.errors), errors.isEmpty() ? QString() : errors + u'\n');
    if (sent.isEmpty()) {
        QVERIFY(service.requestLines().isEmpty());
        return;
    }
    QCOMPARE(service.requestLines(),
             QList<QByteArray>{
                 "GET /world/jiantizi/?before=" + EncodeQuery(QString::fromUtf8(sent)).toLatin1() +
                 "&wb_lp=" + code + "&big5=no HTTP/1.1"});
}

void TestCommandLine::answersHelpAndVersion_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("begins");
    QTest::newRow("--help") << u"--help"_s << QByteArray("Usage: ");
    QTest::newRow("-h") << u"-h"_s << QByteArray("Usage: ");
    QTest::newRow("--version") << u"--version"_s << QByteArray("Quorvane " QUORVANE_VERSION "\n");
    QTest::newRow("-v") << u"-v"_s << QByteArray("Quorvane " QUORVANE_VERSION "\n");
}

void TestCommandLine::answersHelpAndVersion() {
    QFETCH(QString, option);
    QFETCH(QByteArray, begins);
    const Run run = RunProgram({option}, {});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.output.startsWith(begins), run.output.constData());
    if (begins.startsWith("Usage")) {
        for (const QByteArray name :
             {"--ja2ch", "--ch2ja", "--auto", "--version", "--service", "--store-key",
              "--forget-key", "google:", "deepl:", "baidu:", "youdao:", "azure:", "tencent:",
              "caiyun:", "libretranslate:", "classic:", "QUORVANE_SERVICE", "QUORVANE_KEY_DEEPL",
              "APPID:SECRET"}) {
            QVERIFY(run.output.contains(name));
        }
    } else {
        QCOMPARE(run.output, begins);
    }
    QCOMPARE(run.errors, QByteArray());
}

void TestCommandLine::choosesAndReportsTheService_data() {
    QTest::addColumn<LoopbackServer::Script>("service");
    QTest::addColumn<QByteArray>("environment");  // QUORVANE_SERVICE; ROOT is the stand-in's
    QTest::addColumn<QStringList>("arguments");   // ROOT is the stand-in's
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");

    using stand_in::Always;
    const auto respond = [](int status, const QByteArray &body) {
        return LoopbackServer::keepAliveResponse(status, body);
    };
    const LoopbackServer::Script google =
        stand_in::Google({.page = Always(respond(200, stand_in::GooglePage(u"我喜欢猫"_s)))});
    const stand_in::Answer tooMany = Always(respond(429, "<html>Too Many Requests</html>"));
    const stand_in::Answer wrongShape = Always(respond(200, R"({"sentences":[]})"));
    const QStringList translateWithGoogle{u"--service"_s, u"google=ROOT"_s, u"--ja2ch"_s, u"猫"_s};
    const QByteArray none;

    QTest::newRow("google translates")
        << google << none << translateWithGoogle << 0 << u"我喜欢猫\n"_s << QString();
    QTest::newRow("google refuses at all three endpoints")
        << stand_in::Google({tooMany, tooMany, tooMany}) << none << translateWithGoogle << 75
        << QString() << RefusalMessage({}, MessageReader::Terminal) + u"\nHTTP 429\n"_s;
    QTest::newRow("google answers JSON of the wrong shape")
        << stand_in::Google({wrongShape, wrongShape, wrongShape}) << none << translateWithGoogle
        << 65 << QString() << NoTranslationMessage() + u"\nHTTP 200\n"_s;
    QTest::newRow("the environment chooses")
        << LoopbackServer::sending(LoopbackServer::response(200, stand_in::ClassicPage(u"经典"_s)))
        << QByteArray("classic=ROOT") << QStringList{u"--ch2ja"_s, u"x"_s} << 0 << u"经典\n"_s
        << QString();
    QTest::newRow("the option over the environment")
        << google << QByteArray("libretranslate=http://127.0.0.1:9") << translateWithGoogle << 0
        << u"我喜欢猫\n"_s << QString();
    QTest::newRow("libretranslate's own error")
        << LoopbackServer::sending(LoopbackServer::response(403, R"({"error":"Invalid API key"})"))
        << none << QStringList{u"--service=libretranslate=ROOT"_s, u"--auto"_s, u"ねこ"_s} << 65
        << QString() << NoTranslationMessage() + u"\nInvalid API key\n"_s;
    QTest::newRow("unknown service")
        << google << none << QStringList{u"--service"_s, u"bing"_s, u"--ja2ch"_s, u"x"_s} << 64
        << QString()
        << u"Unknown service 'bing'. The services: google, deepl, baidu, youdao, azure, tencent, "
           u"caiyun, llm, "
           u"libretranslate, classic.\n"_s;
    QTest::newRow("root with a path")
        << google << none
        << QStringList{u"--service"_s, u"google=http://127.0.0.1:9/x"_s, u"--ja2ch"_s, u"x"_s} << 64
        << QString()
        << u"Not a service root: 'http://127.0.0.1:9/x'. A root is http:// or https:// and a host, "
           u"with an optional port and no path. The services: google, deepl, baidu, youdao, azure, "
           u"tencent, caiyun, llm, "
           u"libretranslate, classic.\n"_s;
    QTest::newRow("unknown service in the environment")
        << google << QByteArray("yandex") << QStringList{u"--ja2ch"_s, u"x"_s} << 64 << QString()
        << u"Unknown service 'yandex'. The services: google, deepl, baidu, youdao, azure, tencent, "
           u"caiyun, llm, "
           u"libretranslate, classic.\n"_s;
}

void TestCommandLine::choosesAndReportsTheService() {
    QFETCH(LoopbackServer::Script, service);
    QFETCH(QByteArray, environment);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    LoopbackServer server(service, {.keepAlive = true});
    qputenv("QUORVANE_SERVICE", environment.replace("ROOT", server.root().toUtf8()));
    const Run run = RunInProcess(arguments.replaceInStrings(u"ROOT"_s, server.root()));
    qunsetenv("QUORVANE_SERVICE");
    QCOMPARE(QString::fromUtf8(run.errors), errors);
    QCOMPARE(QString::fromUtf8(run.output), output);
    QCOMPARE(run.status, status);
}

void TestCommandLine::chainFallsBackAndNamesEachService_data() {
    QTest::addColumn<LoopbackServer::Script>("first");   // at FIRST
    QTest::addColumn<LoopbackServer::Script>("second");  // at SECOND
    QTest::addColumn<QString>("chain");
    QTest::addColumn<bool>("keys");  // every keyed service has its stand-in's key
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    const auto always = [](int status, const QByteArray &body) {
        return LoopbackServer::Script([=](LoopbackServer::Exchange &exchange) {
            exchange.send(LoopbackServer::keepAliveResponse(status, body));
        });
    };
    const LoopbackServer::Script quota = always(456, R"({"message":"Quota exceeded"})");
    const LoopbackServer::Script forbidden = always(403, R"({"message":"Forbidden"})");
    const LoopbackServer::Script badRequest = always(400, R"({"message":"Bad request"})");
    const LoopbackServer::Script tooFrequent =
        always(200, R"({"error_code":"54003","error_msg":"Invalid Access Limit"})");
    const LoopbackServer::Script closed = [](LoopbackServer::Exchange &) {};
    const LoopbackServer::Script baidu =
        stand_in::Keyed(u"baidu"_s, [](const QString &) { return u"我喜欢猫"_s; });
    const LoopbackServer::Script google =
        stand_in::Google({.page = stand_in::Always(LoopbackServer::keepAliveResponse(
                              200, stand_in::GooglePage(u"我喜欢猫"_s)))});
    const QString deeplBaidu = u"deepl=FIRST,baidu=SECOND"_s;
    const QString noData = u"Empty reply from server"_s;

    QTest::newRow("deepl's quota is used up, baidu translates")
        << quota << baidu << deeplBaidu << true << 0 << u"我喜欢猫\n"_s
        << u"deepl: Quota exceeded\nbaidu: answered\n"_s;
    QTest::newRow("both refuse: 75")
        << quota << tooFrequent << deeplBaidu << true << 75 << QString()
        << RefusalMessage({}, MessageReader::Terminal) +
               u"\ndeepl: Quota exceeded\nbaidu: 54003 Invalid Access Limit\n"_s;
    QTest::newRow("the key refused before a service without data: 77")
        << forbidden << closed << deeplBaidu << true << 77 << QString()
        << KeyRefusedMessage(u"deepl"_s, u"Forbidden"_s, MessageReader::Terminal) +
               u"\ndeepl: Forbidden\nbaidu: "_s + noData + u'\n';
    QTest::newRow("an answer without a translation before no data: 65")
        << badRequest << closed << deeplBaidu << true << 65 << QString()
        << NoTranslationMessage() + u"\ndeepl: Bad request\nbaidu: "_s + noData + u'\n';
    QTest::newRow("no data from either: 69")
        << closed << closed << deeplBaidu << true << 69 << QString()
        << FailureMessage(u"FIRST"_s) + u"\ndeepl: "_s + noData + u"\nbaidu: "_s + noData + u'\n';
    QTest::newRow("a service without a key is passed over")
        << google << google << u"deepl=FIRST,google=SECOND"_s << false << 0 << u"我喜欢猫\n"_s
        << u"deepl: no key\ngoogle: answered\n"_s;
    QTest::newRow("no service has a key: 78")
        << baidu << baidu << deeplBaidu << false << 78 << QString()
        << NoKeyMessage({{ServiceNamed(u"deepl"), {}}, {ServiceNamed(u"baidu"), {}}}) + u'\n';
}

void TestCommandLine::chainFallsBackAndNamesEachService() {
    QFETCH(LoopbackServer::Script, first);
    QFETCH(LoopbackServer::Script, second);
    QFETCH(QString, chain);
    QFETCH(bool, keys);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    LoopbackServer firstServer(first);
    LoopbackServer secondServer(second);
    const QStringList keyed{u"deepl"_s, u"baidu"_s};
    for (const QString &service : keyed) {
        if (keys) {
            qputenv(qPrintable(u"QUORVANE_KEY_"_s + service.toUpper()),
                    stand_in::KeyOf(service).toUtf8());
        }
    }
    const Run run = RunInProcess(
        {u"--service"_s,
         chain.replace(u"FIRST"_s, firstServer.root()).replace(u"SECOND"_s, secondServer.root()),
         u"--ja2ch"_s, u"猫が好き"_s});
    for (const QString &service : keyed) {
        qunsetenv(qPrintable(u"QUORVANE_KEY_"_s + service.toUpper()));
    }
    QCOMPARE(QString::fromUtf8(run.errors), errors.replace(u"FIRST"_s, firstServer.root()));
    QCOMPARE(QString::fromUtf8(run.output), output);
    QCOMPARE(run.status, status);
}

void TestCommandLine::unfitKeyIsRefusedBeforeAnyRequest_data() {
    QTest::addColumn<QString>("service");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errors");
    const QString baiduShape =
        u"That is not a key of baidu: a key of baidu is APPID:SECRET, on one line of printable "
        u"ASCII without spaces.\n"_s;
    QTest::newRow("a Baidu key without its colon")
        << u"baidu=ROOT"_s << QByteArray("20150630") << 78 << baiduShape;
    QTest::newRow("a line break") << u"baidu=ROOT"_s << QByteArray("2015:123\n456") << 78
                                  << baiduShape;
    QTest::newRow("non-ASCII") << u"baidu=ROOT"_s << QByteArray("2015:秘密") << 78 << baiduShape;
    QTest::newRow("an empty part") << u"baidu=ROOT"_s << QByteArray("2015:") << 78 << baiduShape;
    QTest::newRow("a key over plain HTTP to another machine")
        << u"deepl=http://translate.example"_s << QByteArray("k:fx") << 64
        << u"The key of deepl goes over https:// only, not to http://translate.example.\n"_s;
}

void TestCommandLine::unfitKeyIsRefusedBeforeAnyRequest() {
    QFETCH(QString, service);
    QFETCH(QByteArray, key);
    QFETCH(int, status);
    QFETCH(QString, errors);
    LoopbackServer server(stand_in::Keyed(u"baidu"_s, [](const QString &text) { return text; }));
    const QString name = service.section(u'=', 0, 0);
    qputenv(qPrintable(u"QUORVANE_KEY_"_s + name.toUpper()), key);
    const Run run = RunInProcess(
        {u"--service"_s, service.replace(u"ROOT"_s, server.root()), u"--ja2ch"_s, u"猫"_s});
    qunsetenv(qPrintable(u"QUORVANE_KEY_"_s + name.toUpper()));
    QCOMPARE(QString::fromUtf8(run.errors), errors);
    QCOMPARE(run.status, status);
    QVERIFY(!run.errors.contains(key));
    QCOMPARE(server.connections(), 0);
}

void TestCommandLine::keyCommandsNeedASecretService_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errors");
    const QString noSecretService =
        u"No Secret Service runs on this desktop: GNOME Keyring, KWallet or KeePassXC keep keys. "
        u"The key is written nowhere else.\n"_s;
    QTest::newRow("store") << QStringList{u"--store-key"_s, u"deepl"_s} << QByteArray("k:fx\n")
                           << 69 << noSecretService;
    QTest::newRow("forget") << QStringList{u"--forget-key"_s, u"deepl"_s} << QByteArray() << 69
                            << noSecretService;
    QTest::newRow("a service without keys")
        << QStringList{u"--store-key"_s, u"google"_s} << QByteArray("k") << 64
        << u"No service 'google' takes a key.\n"_s;
    QTest::newRow("a key that cannot be one")
        << QStringList{u"--store-key"_s, u"tencent"_s} << QByteArray("id-only\n") << 64
        << u"That is not a key of tencent: a key of tencent is SECRETID:SECRETKEY or "
           u"SECRETID:SECRETKEY:REGION, on one line of printable ASCII without spaces.\n"_s;
}

// The tests' session bus is out of reach: no Secret Service, and nothing written anywhere.
void TestCommandLine::keyCommandsNeedASecretService() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QString, errors);
    const Run run = RunInProcess(arguments, input);
    QCOMPARE(QString::fromUtf8(run.errors), errors);
    QCOMPARE(run.output, QByteArray());
    QCOMPARE(run.status, status);
}

void TestCommandLine::untrustedCertificateIsNoDataWithItsReason() {
    const TestCertificates certificates;
    QVERIFY(certificates.isValid());
    LoopbackServer server(LoopbackServer::sending({}), {.tls = certificates.selfSigned()});
    const Run run =
        RunInProcess({u"--service"_s, u"classic="_s + server.root(), u"--ja2ch"_s, u"x"_s}, {},
                     {.certificateAuthorities = certificates.authorityFile()});
    QCOMPARE(run.status, 69);
    QCOMPARE(
        QString::fromUtf8(run.errors),
        FailureMessage(server.root()) + u"\nSSL certificate problem: self-signed certificate\n"_s);
}

void TestCommandLine::asksForTheWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("window");
    QTest::addColumn<QString>("service");  // or the usage error
    QTest::addColumn<bool>("selection");
    const QString buildDefault = QStringLiteral(QUORVANE_DEFAULT_SERVICE).section(u'=', 0, 0);
    QTest::newRow("nothing") << QStringList{} << true << buildDefault << false;
    QTest::newRow("a service") << QStringList{u"--service"_s, u"libretranslate"_s} << true
                               << u"libretranslate"_s << false;
    QTest::newRow("a service and its root")
        << QStringList{u"--service=classic=http://127.0.0.1:9"_s} << true << u"classic"_s << false;
    QTest::newRow("the selection") << QStringList{u"--selection"_s} << true << buildDefault << true;
    QTest::newRow("an unknown service") << QStringList{u"--service"_s, u"bing"_s} << true
                                        << u"Unknown service 'bing'. The services: google, deepl, "
                                           u"baidu, youdao, azure, tencent, caiyun, llm, "
                                           u"libretranslate, classic."_s
                                        << false;
    QTest::newRow("a direction") << QStringList{u"--service"_s, u"google"_s, u"--ja2ch"_s} << false
                                 << QString() << false;
    QTest::newRow("the selection and a text")
        << QStringList{u"--selection"_s, u"猫"_s} << false << QString() << false;
    QTest::newRow("a text") << QStringList{u"猫"_s} << false << QString() << false;
    QTest::newRow("help") << QStringList{u"--help"_s} << false << QString() << false;
}

void TestCommandLine::asksForTheWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, window);
    QFETCH(QString, service);
    QFETCH(bool, selection);
    const std::optional<WindowRun> run = WindowRunOf(QStringList{u"quorvane"_s} + arguments);
    QCOMPARE(run.has_value(), window);
    if (run) {
        const ServiceChainOrError &chosen = run->service;
        QCOMPARE(chosen.chain ? chosen.chain->front().service->name.toString() : chosen.error,
                 service);
        QCOMPARE(run->translateSelection, selection);
    }
}

// Qt's own options reach the window's application, which takes them out of the arguments.
void TestCommandLine::qtOptionsGoToTheWindow() {
    QProcess window;
    StartProgram(window, {u"-platform"_s, u"offscreen"_s, u"-style"_s, u"fusion"_s}, {});
    QVERIFY(window.waitForStarted(10'000));
    // A usage error would end the program at once; the window stays until it is closed.
    QVERIFY2(!window.waitForFinished(1'500), window.readAllStandardError().constData());
    window.kill();
    window.waitForFinished();

    // What they leave may still be a run from the terminal.
    LoopbackServer service(
        LoopbackServer::sending(LoopbackServer::response(200, stand_in::ClassicPage(u"译文"_s))));
    const Run run = RunProgram({u"-platform"_s, u"offscreen"_s, u"--ja2ch"_s, u"猫"_s}, {},
                               u"classic="_s + service.root());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.output, u"译文\n"_s.toUtf8());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
