#include <QTest>
#include <QTimer>

#include "common/BuildInfo.h"
#include "common/RuntimeError.h"
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

void TestApplication::runtimeErrorInAHandlerIsShownAndEndsTheProgram() {
    frmMain window(stand_in::Classic(u"http://127.0.0.1:9"_s));
    window.show();
    QTimer::singleShot(0, &window, [] { throw RuntimeError(6, u"clsTimeCount"_s, u"溢出"_s); });
    int status = 0;
    const ModalBox box = AnswerModalBox([&status] { status = QCoreApplication::exec(); });
    QCOMPARE(box.title, u"Quorvane"_s);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, u"运行时错误 '6':\n\n溢出"_s);
    QCOMPARE(status, EXIT_FAILURE);
    QVERIFY(!window.isVisible());
}

int main(int argc, char **argv) {
    QuorvaneApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
