#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTextEdit>

#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "ui/ImageControl.h"
#include "ui/frmMain.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace window_driver;

namespace {

const QColor kStatusGround(184, 219, 250);

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void isTheSkinnedWindow();
    void controlsStandInTheirPlaces_data();
    void controlsStandInTheirPlaces();
    void pictureHoldersAreHiddenAndCarryTheirPictures_data();
    void pictureHoldersAreHiddenAndCarryTheirPictures();
    void textControlsHaveTheirColoursAndFont();
    void colourKeyStaysOutOfTheControls();
    void focusStartsInTheInputAndCyclesInTabOrder();
    void membersHaveTheirStartValues();
    void shapeLeavesOutExactlyTheSixCornerPixels();
    void picturesAreDrawnForTheScreensPixelRatio();

private:
    template <typename T = QWidget>
    T *control(const QString &name) const {
        return Control<T>(mWindow.get(), name);
    }

    std::unique_ptr<frmMain> mWindow;
};

void TestMainWindow::init() {
    mWindow = std::make_unique<frmMain>(ServiceChain{stand_in::Classic(u"http://127.0.0.1:9"_s)});
    QVERIFY(ShowActive(mWindow.get()));
}

void TestMainWindow::cleanup() {
    mWindow.reset();
}

void TestMainWindow::isTheSkinnedWindow() {
    QCOMPARE(mWindow->objectName(), u"frmMain"_s);
    QCOMPARE(mWindow->windowTitle(), u"Quorvane"_s);
    QCOMPARE(mWindow->size(), QSize(800, 576));
    QCOMPARE(mWindow->minimumSize(), mWindow->maximumSize());
    QVERIFY(mWindow->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!mWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const QRect screen = mWindow->screen()->availableGeometry();
    QVERIFY(qAbs(mWindow->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(mWindow->geometry().center().y() - screen.center().y()) <= 1);
}

void TestMainWindow::controlsStandInTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("text");
    const QString edit = u"QTextEdit"_s;
    const QString image = u"quorvane::ImageControl"_s;
    QTest::newRow("txtTop") << u"txtTop"_s << edit << QRect(8, 128, 785, 177) << true << QString();
    QTest::newRow("txtDown") << u"txtDown"_s << edit << QRect(8, 312, 785, 257) << true
                             << QString();
    QTest::newRow("rtbMsg") << u"rtbMsg"_s << edit << QRect(240, 104, 433, 17) << true
                            << u"状态:就绪"_s;
    QTest::newRow("chkTop") << u"chkTop"_s << u"QCheckBox"_s << QRect(696, 104, 97, 15) << true
                            << u"窗口置顶"_s;
    QTest::newRow("imgJa2Ch") << u"imgJa2Ch"_s << image << QRect(24, 96, 90, 25) << true
                              << QString();
    QTest::newRow("imgCh2Ja") << u"imgCh2Ja"_s << image << QRect(128, 96, 90, 25) << true
                              << QString();
    QTest::newRow("imgMin") << u"imgMin"_s << image << QRect(695, 0, 30, 17) << true << QString();
    QTest::newRow("imgClose") << u"imgClose"_s << image << QRect(754, 0, 33, 17) << true
                              << QString();
    QTest::newRow("Image5") << u"Image5"_s << image << QRect(616, 2, 33, 17) << true << QString();
    QTest::newRow("Image6") << u"Image6"_s << image << QRect(656, 2, 25, 17) << true << QString();
    QTest::newRow("Image7") << u"Image7"_s << image << QRect(24, 24, 257, 57) << true << QString();
    QTest::newRow("Picture3") << u"Picture3"_s << u"QWidget"_s << QRect(496, 344, 201, 145) << false
                              << QString();
}

void TestMainWindow::controlsStandInTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(bool, visible);
    QFETCH(QString, text);
    QWidget *widget = control(name);
    QCOMPARE(widget->parentWidget(), mWindow.get());
    QVERIFY2(widget->inherits(qPrintable(kind)), widget->metaObject()->className());
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->isVisible(), visible);
    if (auto *edit = qobject_cast<QTextEdit *>(widget)) {
        QCOMPARE(edit->toPlainText(), text);
        QVERIFY(!edit->acceptRichText());
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        QCOMPARE(check->text(), text);
        QCOMPARE(check->checkState(), Qt::Unchecked);
    }
}

void TestMainWindow::pictureHoldersAreHiddenAndCarryTheirPictures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("imgJa2Ch1") << u"imgJa2Ch1"_s << QRect(8, 8, 90, 25);
    QTest::newRow("imgJa2Ch2") << u"imgJa2Ch2"_s << QRect(8, 32, 90, 25);
    QTest::newRow("imgJa2Ch3") << u"imgJa2Ch3"_s << QRect(8, 56, 90, 25);
    QTest::newRow("imgCh2Ja1") << u"imgCh2Ja1"_s << QRect(104, 8, 90, 25);
    QTest::newRow("imgCh2Ja2") << u"imgCh2Ja2"_s << QRect(104, 32, 90, 25);
    QTest::newRow("imgCh2Ja3") << u"imgCh2Ja3"_s << QRect(104, 56, 90, 25);
    QTest::newRow("imgMin2") << u"imgMin2"_s << QRect(8, 88, 31, 18);
    QTest::newRow("imgMin3") << u"imgMin3"_s << QRect(8, 112, 31, 18);
    QTest::newRow("imgClose2") << u"imgClose2"_s << QRect(48, 88, 42, 19);
    QTest::newRow("imgClose3") << u"imgClose3"_s << QRect(48, 112, 42, 19);
}

void TestMainWindow::pictureHoldersAreHiddenAndCarryTheirPictures() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    auto *holder = control<ImageControl>(name);
    QCOMPARE(holder->parentWidget(), control(u"Picture3"_s));
    QCOMPARE(holder->geometry(), geometry);
    QVERIFY(!holder->isVisible());
    QCOMPARE(holder->pixmap().deviceIndependentSize().toSize(), geometry.size());
}

void TestMainWindow::textControlsHaveTheirColoursAndFont() {
    const QColor windowBase = QApplication::palette().color(QPalette::Base);
    QCOMPARE(control(u"txtTop"_s)->palette().color(QPalette::Base), windowBase);
    QCOMPARE(control(u"txtDown"_s)->palette().color(QPalette::Base), windowBase);
    QCOMPARE(control(u"rtbMsg"_s)->palette().color(QPalette::Base), kStatusGround);
    auto *check = control<QCheckBox>(u"chkTop"_s);
    QCOMPARE(check->palette().color(check->backgroundRole()), kStatusGround);
    QCOMPARE(check->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));

    const QFont font = mWindow->font();
    QCOMPARE(font.pixelSize(), 12);
    QCOMPARE(font.families().constFirst(), u"SimSun"_s);
    QVERIFY(font.families().contains(u"WenQuanYi Micro Hei"_s));
    for (const QString &name : {u"txtTop"_s, u"txtDown"_s, u"rtbMsg"_s, u"chkTop"_s}) {
        QCOMPARE(control(name)->font(), font);
    }
    QCOMPARE(control<QTextEdit>(u"rtbMsg"_s)->focusPolicy(), Qt::NoFocus);
}

// The see-through blue belongs to the skin and its shape: the boxes' frames and scroll bars are
// drawn in the style's own colours.
void TestMainWindow::colourKeyStaysOutOfTheControls() {
    for (const QString &name : {u"txtTop"_s, u"txtDown"_s, u"rtbMsg"_s, u"chkTop"_s}) {
        QWidget *widget = control(name);
        const QImage face = widget->grab().toImage();
        for (int y = 0; y < face.height(); ++y) {
            for (int x = 0; x < face.width(); ++x) {
                const QColor pixel = face.pixelColor(x, y);
                QVERIFY2(
                    pixel.blue() - qMax(pixel.red(), pixel.green()) < 64,
                    qPrintable(u"%1 at %2,%3: %4"_s.arg(name).arg(x).arg(y).arg(pixel.name())));
            }
        }
    }
}

void TestMainWindow::focusStartsInTheInputAndCyclesInTabOrder() {
    QCOMPARE(QApplication::focusWidget(), control(u"txtTop"_s));
    const QStringList cycle = {u"txtDown"_s, u"chkTop"_s, u"txtTop"_s, u"txtDown"_s};
    for (const QString &next : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

void TestMainWindow::membersHaveTheirStartValues() {
    QCOMPARE(mWindow->translateCommand().pageHtml(), QString());
    QCOMPARE(mWindow->translateCommand().seconds(), QString());
    QVERIFY(!mWindow->hovering());
    QVERIFY(!mWindow->translateCommand().timeCount());
    QVERIFY(!mWindow->translateCommand().waitTimer());
    QCOMPARE(control<ImageControl>(u"imgJa2Ch"_s)->pixmap().cacheKey(),
             control<ImageControl>(u"imgJa2Ch1"_s)->pixmap().cacheKey());
    QCOMPARE(control<ImageControl>(u"imgCh2Ja"_s)->pixmap().cacheKey(),
             control<ImageControl>(u"imgCh2Ja1"_s)->pixmap().cacheKey());
    QVERIFY(control<ImageControl>(u"imgMin"_s)->pixmap().isNull());
    QVERIFY(control<ImageControl>(u"imgClose"_s)->pixmap().isNull());
}

void TestMainWindow::shapeLeavesOutExactlyTheSixCornerPixels() {
    const QRegion shape = mWindow->mask();
    qint64 area = 0;
    for (const QRect &rect : shape) {
        area += qint64(rect.width()) * rect.height();
    }
    QCOMPARE(area, 800 * 576 - 6);
    for (const QPoint out : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(798, 0),
                             QPoint(799, 0), QPoint(799, 1)}) {
        QVERIFY2(!shape.contains(out), qPrintable(u"%1,%2"_s.arg(out.x()).arg(out.y())));
    }
    for (const QPoint in : {QPoint(1, 1), QPoint(798, 1), QPoint(0, 575), QPoint(799, 575),
                            QPoint(2, 0), QPoint(797, 0)}) {
        QVERIFY(shape.contains(in));
    }
}

// Run once more with QT_SCALE_FACTOR=2: on a 2x screen the skin shows its 2x drawings, so a
// 1-pixel line of the skin covers two device pixels sharply instead of a blurred upscale.
void TestMainWindow::picturesAreDrawnForTheScreensPixelRatio() {
    const qreal expected = mWindow->devicePixelRatioF() >= 2 ? 2 : 1;
    for (const QString &name : {u"imgJa2Ch1"_s, u"imgMin2"_s, u"imgClose3"_s}) {
        QCOMPARE(control<ImageControl>(name)->pixmap().devicePixelRatio(), expected);
    }
    const QImage face = mWindow->grab().toImage();
    QCOMPARE(face.size(), QSize(800, 576) * expected);
    const QColor border(37, 102, 157);
    for (int y = 0; y < int(expected); ++y) {
        QCOMPARE(face.pixelColor(int(400 * expected), y), border);
    }
    QCOMPARE(face.pixelColor(int(400 * expected), int(expected)), QColor(Qt::white));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
