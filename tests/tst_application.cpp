#include <QTest>
#include <QTimer>

#include <QTextEdit>
#include "common/BuildInfo.h"
#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "ui/QuorvaneApplication.h"
#include "ui/frmMain.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace window_driver;

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void namesItselfQuorvane();
    void runtimeErrorInAHandlerIsShownAndEndsTheProgram();
};

void TestApplication::namesItselfQuorvane() {
    QCOMPARE(QCoreApplication::applicationName(), u"Quorvane"_s);
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(QUORVANE_VERSION));
    QVERIFY(!QApplication::windowIcon().isNull());
    QCOMPARE(QApplication::windowIcon().availableSizes().value(0), QSize(48, 48));
}

// A root that no choice accepts makes the exchange raise; the click's handler reports it.
void TestApplication::runtimeErrorInAHandlerIsShownAndEndsTheProgram() {
    frmMain window(
        {{stand_in::Classic(u"http://127.0.0.1:9"_s).service, u"http://exa mple.com:99999"_s}});
    window.show();
    Control<QTextEdit>(&window, u"txtTop"_s)->setPlainText(u"猫"_s);
    QTimer::singleShot(0, &window, [&window] { Click(&window, u"imgJa2Ch"_s); });
    QTest::failOnWarning(
        QRegularExpression(u"exception"_s, QRegularExpression::CaseInsensitiveOption));
    int status = 0;
    const ModalBox box = AnswerModalBox([&status] { status = QCoreApplication::exec(); });
    QCOMPARE(box.title, u"Quorvane"_s);
    QCOMPARE(box.icon, QMessageBox::Critical);
    // The error number 0x80072EE5 read as a signed 32-bit number.
    const QString opening =
        u"运行时错误 '-2147012891':\n\n无法打开请求地址: http://exa mple.com:99999/"_s;
    QVERIFY2(box.text.startsWith(opening), qPrintable(box.text));
    QCOMPARE(status, EXIT_FAILURE);
    QVERIFY(!window.isVisible());
}

int main(int argc, char **argv) {
    QuorvaneApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
