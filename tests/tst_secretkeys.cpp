#include <QDirIterator>
#include <QProcess>
#include <QTest>

#include "cli/CommandLine.h"
#include "keys/SecretKeys.h"
#include "support/CommandLineRun.h"
#include "support/KeyedStandIns.h"
#include "support/LoopbackServer.h"
#include "support/TestCertificates.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

namespace {

// Whether any file under the home holds `bytes` as they are.
bool HomeHolds(const QByteArray &bytes) {
    QDirIterator files(QDir::homePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(bytes)) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Against GNOME Keyring on a private session bus, which the test's wrapper starts and ends.
class TestSecretKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void storedKeyTranslatesUntilForgotten();
    void programReadsTheKeyFromStandardInput();
    void environmentKeyComesFirst();
};

void TestSecretKeys::initTestCase() {
    QVERIFY2(SecretServiceRuns(), "the wrapper starts GNOME Keyring");
}

void TestSecretKeys::storedKeyTranslatesUntilForgotten() {
    const TestCertificates certificates;
    QVERIFY(certificates.isValid());
    LoopbackServer server(stand_in::Keyed(u"deepl"_s, [](const QString &) { return u"猫"_s; }),
                          {.keepAlive = true, .tls = certificates.signedByAuthority()});
    const FetchContext trusting{.certificateAuthorities = certificates.authorityFile()};
    const QStringList translate{u"--service"_s, u"deepl="_s + server.root(), u"--ja2ch"_s,
                                u"ねこ"_s};
    QVERIFY(server.root().startsWith(u"https://"_s));

    const QString key = stand_in::KeyOf(u"deepl"_s);
    const Run stored = RunInProcess({u"--store-key"_s, u"deepl"_s}, key.toUtf8() + '\n');
    QCOMPARE(stored.status, 0);
    QVERIFY(!stored.output.contains(key.toUtf8()) && !stored.errors.contains(key.toUtf8()));
    QCOMPARE(ReadStoredKey(u"deepl"_s).key, std::optional(key));
    QVERIFY(!HomeHolds(key.toUtf8()));

    const Run translated = RunInProcess(translate, {}, trusting);
    QCOMPARE(translated.errors, QByteArray());
    QCOMPARE(translated.output, u"猫\n"_s.toUtf8());
    QCOMPARE(translated.status, 0);

    QCOMPARE(RunInProcess({u"--forget-key"_s, u"deepl"_s}).status, 0);
    QCOMPARE(ReadStoredKey(u"deepl"_s).key, std::nullopt);
    const qsizetype requests = server.requests().size();
    QCOMPARE(RunInProcess(translate, {}, trusting).status, int(ExitStatus::NoKey));
    QCOMPARE(server.requests().size(), requests);
    // Forgetting what is not kept is no failure.
    QCOMPARE(RunInProcess({u"--forget-key"_s, u"deepl"_s}).status, 0);
}

void TestSecretKeys::programReadsTheKeyFromStandardInput() {
    const QString key = stand_in::KeyOf(u"baidu"_s);
    QProcess program;
    program.start(QStringLiteral(QUORVANE_PROGRAM), {u"--store-key"_s, u"baidu"_s});
    QVERIFY(program.waitForStarted(10'000));
    program.write(key.toUtf8() + '\n');
    program.closeWriteChannel();
    QVERIFY(program.waitForFinished(30'000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(ReadStoredKey(u"baidu"_s).key, std::optional(key));
    QCOMPARE(RunInProcess({u"--forget-key"_s, u"baidu"_s}).status, 0);
}

void TestSecretKeys::environmentKeyComesFirst() {
    LoopbackServer server(stand_in::Keyed(u"caiyun"_s, [](const QString &) { return u"猫"_s; }),
                          {.keepAlive = true});
    QCOMPARE(RunInProcess({u"--store-key"_s, u"caiyun"_s}, "stored-token").status, 0);
    qputenv("QUORVANE_KEY_CAIYUN", stand_in::KeyOf(u"caiyun"_s).toUtf8());
    const Run run =
        RunInProcess({u"--service"_s, u"caiyun="_s + server.root(), u"--ja2ch"_s, u"ねこ"_s});
    qunsetenv("QUORVANE_KEY_CAIYUN");
    QCOMPARE(run.status, 0);
    QCOMPARE(RunInProcess({u"--forget-key"_s, u"caiyun"_s}).status, 0);
}

QTEST_GUILESS_MAIN(TestSecretKeys)
#include "tst_secretkeys.moc"
