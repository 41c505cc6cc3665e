#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "ui/frmMain.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace window_driver;

class TestWindowFrame : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void staysOnTopFollowsTheCheckBox();
    void staysOnTopFollowsTheKeyboardToo();
    void minimiseAndRestoreKeepTheShape();
    void leftDragOnTheBackgroundMovesTheWindow_data();
    void leftDragOnTheBackgroundMovesTheWindow();
    void closeUnloadsTheWindow();
    void closeDuringTheFlashEndsTheEventLoopAtOnce();
    void closeDuringTheMessagePassStopsBeforeTheFetch();
    void closeDuringTheFlashStopsTheFlash();
    void focusArrivalSelectsTheWholeInput_data();
    void focusArrivalSelectsTheWholeInput();
    void contextMenuActsOnTheSelection_data();
    void contextMenuActsOnTheSelection();
    void onlyThePressThatBroughtTheFocusIsSwallowed_data();
    void onlyThePressThatBroughtTheFocusIsSwallowed();

private:
    QWidget *control(const QString &name) const { return Control(mWindow.get(), name); }
    QTextEdit *input() const { return Control<QTextEdit>(mWindow.get(), u"txtTop"_s); }

    std::unique_ptr<LoopbackServer> mServer;
    std::unique_ptr<frmMain> mWindow;
};

void TestWindowFrame::init() {
    mServer = std::make_unique<LoopbackServer>(
        LoopbackServer::sending(LoopbackServer::response(200, stand_in::ClassicPage(u"ok"_s))));
    mWindow = std::make_unique<frmMain>(ServiceChain{stand_in::Classic(mServer->root())});
    QVERIFY(ShowActive(mWindow.get()));
}

void TestWindowFrame::cleanup() {
    mWindow.reset();
    mServer.reset();
}

void TestWindowFrame::staysOnTopFollowsTheCheckBox() {
    const QPoint place = mWindow->pos();
    const QRegion shape = mWindow->mask();
    for (const bool onTop : {true, false, true}) {
        Click(mWindow.get(), u"chkTop"_s);
        QCOMPARE(Control<QCheckBox>(mWindow.get(), u"chkTop"_s)->isChecked(), onTop);
        QCOMPARE(mWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        QCOMPARE(mWindow->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        QVERIFY(mWindow->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(mWindow->isVisible());
        QCOMPARE(mWindow->pos(), place);
        QCOMPARE(mWindow->mask(), shape);
        QVERIFY(mWindow->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), control(u"chkTop"_s));
    }
}

void TestWindowFrame::staysOnTopFollowsTheKeyboardToo() {
    control(u"chkTop"_s)->setFocus();
    QTest::keyClick(control(u"chkTop"_s), Qt::Key_Space);
    QVERIFY(mWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(!mWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void TestWindowFrame::minimiseAndRestoreKeepTheShape() {
    const QRegion shape = mWindow->mask();
    Click(mWindow.get(), u"imgMin"_s);
    QTRY_VERIFY(mWindow->isMinimized());
    mWindow->showNormal();
    QTRY_VERIFY(!mWindow->isMinimized());
    QVERIFY(mWindow->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(mWindow->mask(), shape);
}

void TestWindowFrame::leftDragOnTheBackgroundMovesTheWindow_data() {
    QTest::addColumn<QString>("target");  // a control's name, or "" for the background
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("background, left") << QString() << QPoint(400, 90) << Qt::LeftButton << true;
    QTest::newRow("maximise glyph, left") << QString() << QPoint(740, 8) << Qt::LeftButton << true;
    QTest::newRow("version label, left") << QString() << QPoint(330, 48) << Qt::LeftButton << true;
    QTest::newRow("background, right") << QString() << QPoint(400, 90) << Qt::RightButton << false;
    QTest::newRow("background, middle")
        << QString() << QPoint(400, 90) << Qt::MiddleButton << false;
    for (const QString &name : {u"txtTop"_s, u"chkTop"_s, u"imgCh2Ja"_s, u"Image5"_s, u"Image7"_s,
                                u"imgClose"_s, u"rtbMsg"_s}) {
        QTest::newRow(qPrintable(name)) << name << QPoint(3, 3) << Qt::LeftButton << false;
    }
}

void TestWindowFrame::leftDragOnTheBackgroundMovesTheWindow() {
    QFETCH(QString, target);
    QFETCH(QPoint, at);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, moves);
    QWidget *widget = target.isEmpty() ? mWindow.get() : control(target);
    if (auto *edit = qobject_cast<QTextEdit *>(widget)) {
        widget = edit->viewport();
    }
    const QPoint start = mWindow->pos();
    QTest::mousePress(widget, button, {}, at);
    QTest::mouseMove(widget, at + QPoint(30, 20));
    QTest::mouseRelease(widget, button, {}, at + QPoint(30, 20));
    QTest::mouseMove(widget, at + QPoint(60, 40));
    QCOMPARE(mWindow->pos(), moves ? start + QPoint(30, 20) : start);
}

void TestWindowFrame::closeUnloadsTheWindow() {
    Click(mWindow.get(), u"imgClose"_s);
    QVERIFY(!mWindow->isVisible());
}

void TestWindowFrame::closeDuringTheFlashEndsTheEventLoopAtOnce() {
    QTimer::singleShot(0, mWindow.get(), [this] { Click(mWindow.get(), u"imgJa2Ch"_s); });
    QTimer::singleShot(150, mWindow.get(), [this] {
        QVERIFY(mWindow->translateCommand().waitTimer()->isWaiting());
        mWindow->close();
    });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY2(clock.elapsed() < 250, qPrintable(u"%1 ms"_s.arg(clock.elapsed())));
    QVERIFY(!mWindow->translateCommand().isRunning());
}

void TestWindowFrame::closeDuringTheMessagePassStopsBeforeTheFetch() {
    auto *status = Control<QTextEdit>(mWindow.get(), u"rtbMsg"_s);
    connect(status, &QTextEdit::textChanged, mWindow.get(), [this, status] {
        if (status->toPlainText() == u"翻译中 ..."_s) {
            QMetaObject::invokeMethod(mWindow.get(), &QWidget::close, Qt::QueuedConnection);
        }
    });
    input()->setPlainText(u"x"_s);
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QVERIFY(!mWindow->isVisible());
    QVERIFY(mServer->requestLines().isEmpty());
    QCOMPARE(Control<QTextEdit>(mWindow.get(), u"txtDown"_s)->toPlainText(), QString());
}

void TestWindowFrame::closeDuringTheFlashStopsTheFlash() {
    PaletteChangeRecorder ground(input());
    QTimer::singleShot(50, mWindow.get(), [this] { mWindow->close(); });
    QElapsedTimer clock;
    clock.start();
    Click(mWindow.get(), u"imgJa2Ch"_s);
    QCOMPARE(ground.changes.size(), 1);
    QVERIFY(clock.elapsed() < 300);
    QVERIFY(!mWindow->translateCommand().isRunning());
}

void TestWindowFrame::focusArrivalSelectsTheWholeInput_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byClick");
    QTest::newRow("by Tab, one line") << u"単語"_s << false;
    QTest::newRow("by Tab, several lines") << u"一行目\r\n二行目\n三"_s << false;
    QTest::newRow("by Tab, empty") << QString() << false;
    QTest::newRow("by click, several lines") << u"line one\nline two"_s << true;
    QTest::newRow("by click, empty") << QString() << true;
}

void TestWindowFrame::focusArrivalSelectsTheWholeInput() {
    QFETCH(QString, text);
    QFETCH(bool, byClick);
    input()->setPlainText(text);
    control(u"txtDown"_s)->setFocus();
    QCOMPARE(QApplication::focusWidget(), control(u"txtDown"_s));
    if (byClick) {
        QTest::mouseClick(input()->viewport(), Qt::LeftButton, {}, QPoint(100, 100));
    } else {
        control(u"chkTop"_s)->setFocus();
        QTest::keyClick(control(u"chkTop"_s), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), input());
    const QTextCursor cursor = input()->textCursor();
    QCOMPARE(cursor.selectionStart(), 0);
    QCOMPARE(cursor.selectionEnd(), input()->toPlainText().size());
    QCOMPARE(cursor.selectedText().size(), input()->toPlainText().size());
}

void TestWindowFrame::contextMenuActsOnTheSelection_data() {
    QTest::addColumn<QString>("action");  // the object name Qt gives the menu's action
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("delete") << u"edit-delete"_s << u"one  three"_s << u"clip"_s;
    QTest::newRow("cut") << u"edit-cut"_s << u"one  three"_s << u"two"_s;
    QTest::newRow("copy") << u"edit-copy"_s << u"one two three"_s << u"two"_s;
    QTest::newRow("paste") << u"edit-paste"_s << u"one clip three"_s << u"clip"_s;
}

// The focus leaves for the menu and comes back when it closes: the menu's action applies to the
// word the user selected, not to the whole text.
void TestWindowFrame::contextMenuActsOnTheSelection() {
    QFETCH(QString, action);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QApplication::clipboard()->setText(u"clip"_s);
    input()->setPlainText(u"one two three"_s);
    QTextCursor word = input()->textCursor();
    word.setPosition(4);
    word.setPosition(7, QTextCursor::KeepAnchor);
    input()->setTextCursor(word);
    QCOMPARE(QApplication::focusWidget(), input());

    const QPoint at(20, 10);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, input()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(input()->viewport(), &request);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    auto *entry = menu->findChild<QAction *>(action);
    QVERIFY(entry);
    menu->setActiveAction(entry);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), input());
    QCOMPARE(input()->toPlainText(), text);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
}

void TestWindowFrame::onlyThePressThatBroughtTheFocusIsSwallowed_data() {
    QTest::addColumn<QString>("part");
    QTest::newRow("scroll bar") << u"scroll bar"_s;
    QTest::newRow("frame") << u"frame"_s;
}

// A click that brings the focus to the input anywhere but its text area leaves the next click in
// the text to place the caret.
void TestWindowFrame::onlyThePressThatBroughtTheFocusIsSwallowed() {
    QFETCH(QString, part);
    input()->setPlainText(QStringList(40, u"line"_s).join(u'\n'));
    control(u"txtDown"_s)->setFocus();
    QScrollBar *bar = input()->verticalScrollBar();
    QTRY_VERIFY(bar->isVisible());
    if (part == u"scroll bar"_s) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    } else {
        QTest::mouseClick(input(), Qt::LeftButton, {}, QPoint(0, input()->height() / 2));
    }
    QCOMPARE(QApplication::focusWidget(), input());
    QCOMPARE(input()->textCursor().selectedText().size(), input()->toPlainText().size());
    QCoreApplication::processEvents();

    QTest::mouseClick(input()->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(!input()->textCursor().hasSelection());
}

QTEST_MAIN(TestWindowFrame)
#include "tst_windowframe.moc"
