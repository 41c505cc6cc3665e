#include <QBuffer>
#include <QProcess>
#include <QTest>

#include "cli/CommandLine.h"
#include "support/LoopbackServer.h"
#include "translation/TranslateCommand.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

namespace {

// The program built with its service at this loopback port (QUORVANE_E2E_PROGRAM).
constexpr quint16 kServicePort = QUORVANE_E2E_PORT;
const QString kServiceRoot = u"http://127.0.0.1:%1"_s.arg(kServicePort);

QByteArray PageWith(const QByteArray &translation) {
    return "<textarea name=\"after\" id=\"after\">" + translation + "</textarea>";
}

struct Run {
    int status = -1;
    QByteArray output;
    QByteArray errors;
};

// The real program as a child, with no display of any kind in its environment.
Run RunProgram(const QStringList &arguments, const QByteArray &input) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s}) {
        environment.remove(name);
    }
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUORVANE_E2E_PROGRAM), arguments);
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
    void runtimeErrorExitsWithSeventy();
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

    const QByteArray page = PageWith("译文");
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
        << QStringList{u"--ja2ch"_s, u"x"_s} << none << PageWith("&lt;b&gt; &amp;&#x732B;") << 0
        << u"<b> &猫\n"_s.toUtf8() << QString() << QByteArray("x") << QByteArray("JACH");
    QTest::newRow("page without a translation")
        << QStringList{u"--ja2ch"_s, u"x"_s} << none << QByteArray("<html>busy</html>") << 65
        << QByteArray() << NoTranslationMessage() << QByteArray("x") << QByteArray("JACH");
    QTest::newRow("no data") << QStringList{u"--ja2ch"_s, u"x"_s} << none << QByteArray() << 69
                             << QByteArray() << FailureMessage(kServiceRoot) << QByteArray("x")
                             << QByteArray("JACH");
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
    LoopbackServer service(LoopbackServer::sending(LoopbackServer::response(200, page)),
                           kServicePort);
    QCOMPARE(service.port(), kServicePort);
    const Run run = RunProgram(arguments, input);
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
        for (const QByteArray name : {"--ja2ch", "--ch2ja", "--auto", "--version"}) {
            QVERIFY(run.output.contains(name));
        }
    } else {
        QCOMPARE(run.output, begins);
    }
    QCOMPARE(run.errors, QByteArray());
}

// No built service root fails to parse, so this runs in the process with one that does.
void TestCommandLine::runtimeErrorExitsWithSeventy() {
    QBuffer input;
    QBuffer output;
    QBuffer errors;
    for (QBuffer *buffer : {&input, &output, &errors}) {
        buffer->open(QIODevice::ReadWrite);
    }
    const int status = RunCommandLine({u"quorvane"_s, u"--ja2ch"_s, u"x"_s}, input, output, errors,
                                      u"http://exa mple.com:99999"_s);
    QCOMPARE(status, 70);
    QVERIFY2(QString::fromUtf8(errors.data()).startsWith(u"运行时错误 '"_s),
             errors.data().constData());
    QCOMPARE(output.data(), QByteArray());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
