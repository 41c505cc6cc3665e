#include <QAccessible>
#include <QDesktopServices>
#include <QTest>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "ui/ImageControl.h"
#include "ui/MakerInfo.h"
#include "ui/frmMain.h"

using namespace quorvane;
using namespace Qt::StringLiterals;
using namespace window_driver;

namespace {

const QStringList kButtons = {u"imgJa2Ch"_s, u"imgCh2Ja"_s, u"imgMin"_s, u"imgClose"_s};

// Catches the addresses handed to the web browser.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

}  // namespace

class TestPictureButtons : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void looksFollowTheMouse_data();
    void looksFollowTheMouse();
    void hotControlsShowTheHandPointer();
    void hotspotsOpenTheirPages_data();
    void hotspotsOpenTheirPages();
    void helpOpensTheChosenServicesPage();
    void aboutBoxShowsItsEightLines();
    void controlsHaveAccessibleNames();
    void pressActionDoesWhatAClickDoes_data();
    void pressActionDoesWhatAClickDoes();
    void accessibleTreeLeavesOutTheHiddenPictures();
    void statusBarReadsTheStatusLine();

private:
    QWidget *target(const QString &name) const {
        return name == u"background"_s ? mWindow.get() : Control(mWindow.get(), name);
    }
    QPoint place(const QString &name) const {
        return name == u"background"_s ? QPoint(400, 90) : QPoint(4, 4);
    }
    void perform(const QString &step);
    QString look(const QString &button) const;

    std::unique_ptr<frmMain> mWindow;
};

void TestPictureButtons::init() {
    mWindow = std::make_unique<frmMain>(ServiceChain{stand_in::Classic(u"http://127.0.0.1:9"_s)});
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(mWindow.get()));
    // Every row starts with the pointer on a blank place: a move to where it already is
    // would deliver nothing.
    QTest::mouseMove(mWindow->windowHandle(), QPoint(330, 48));
}

void TestPictureButtons::cleanup() {
    mWindow.reset();
}

// A step is "move <control>", "press <control> <button>" or "release <control> <button>";
// "background" is a blank place of the window. The events go through the window, as the window
// system's do, so the widget under the pointer or the one holding the mouse receives them.
void TestPictureButtons::perform(const QString &step) {
    const QStringList words = step.split(u' ');
    const QPoint at = target(words[1])->mapTo(mWindow.get(), place(words[1]));
    QWindow *window = mWindow->windowHandle();
    if (words[0] == u"move"_s) {
        QTest::mouseMove(window, at);
        return;
    }
    const Qt::MouseButton button = words[2] == u"left"_s    ? Qt::LeftButton
                                   : words[2] == u"right"_s ? Qt::RightButton
                                                            : Qt::MiddleButton;
    if (words[0] == u"press"_s) {
        QTest::mousePress(window, button, {}, at);
    } else {
        QTest::mouseRelease(window, button, {}, at);
    }
}

// "1", "2" or "3" for the picture of the button's holder of that number, "-" for none.
QString TestPictureButtons::look(const QString &button) const {
    const QPixmap shown = Control<ImageControl>(mWindow.get(), button)->pixmap();
    if (shown.isNull()) {
        return u"-"_s;
    }
    for (const QString &state : {u"1"_s, u"2"_s, u"3"_s}) {
        if (auto *holder = mWindow->findChild<ImageControl *>(button + state);
            holder && holder->pixmap().cacheKey() == shown.cacheKey()) {
            return state;
        }
    }
    return u"?"_s;
}

void TestPictureButtons::looksFollowTheMouse_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("looks");  // of imgJa2Ch, imgCh2Ja, imgMin, imgClose
    QTest::addColumn<bool>("hovering");
    const auto row = [](const char *name, QStringList steps, QStringList looks, bool hovering) {
        QTest::newRow(name) << steps << looks << hovering;
    };
    row("at start", {}, {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, false);
    row("hover", {u"move imgJa2Ch"_s}, {u"2"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("hover, then background", {u"move imgJa2Ch"_s, u"move background"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, false);
    row("two hovers, one reset", {u"move imgMin"_s, u"move imgClose"_s},
        {u"1"_s, u"1"_s, u"2"_s, u"2"_s}, true);
    row("reset restores all four", {u"move imgMin"_s, u"move imgClose"_s, u"move background"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, false);
    row("straight onto the check box", {u"move imgCh2Ja"_s, u"move chkTop"_s},
        {u"1"_s, u"2"_s, u"-"_s, u"-"_s}, true);
    row("straight onto a text box", {u"move imgJa2Ch"_s, u"move txtTop"_s},
        {u"2"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("straight onto the status line", {u"move imgJa2Ch"_s, u"move rtbMsg"_s},
        {u"2"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("straight onto a hotspot", {u"move imgClose"_s, u"move Image6"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"2"_s}, true);
    row("hotspot leaves the flag alone", {u"move Image5"_s, u"move Image7"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, false);
    row("press", {u"move imgJa2Ch"_s, u"press imgJa2Ch left"_s}, {u"3"_s, u"1"_s, u"-"_s, u"-"_s},
        true);
    row("press, then move outside",
        {u"move imgJa2Ch"_s, u"press imgJa2Ch left"_s, u"move background"_s},
        {u"2"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("release shows normal at once",
        {u"move imgCh2Ja"_s, u"press imgCh2Ja left"_s, u"release imgCh2Ja left"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("right button", {u"move imgCh2Ja"_s, u"press imgCh2Ja right"_s},
        {u"1"_s, u"3"_s, u"-"_s, u"-"_s}, true);
    row("right button released",
        {u"move imgCh2Ja"_s, u"press imgCh2Ja right"_s, u"release imgCh2Ja right"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("middle button",
        {u"move imgJa2Ch"_s, u"press imgJa2Ch middle"_s, u"release imgJa2Ch middle"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("minimise released", {u"move imgMin"_s, u"press imgMin right"_s, u"release imgMin right"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, true);
    row("close pressed", {u"move imgClose"_s, u"press imgClose left"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"3"_s}, true);
    row("close released outside keeps its picture",
        {u"move imgClose"_s, u"press imgClose left"_s, u"release background left"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"2"_s}, true);
    row("until the next background move",
        {u"move imgClose"_s, u"press imgClose left"_s, u"release background left"_s,
         u"move Image5"_s, u"move background"_s},
        {u"1"_s, u"1"_s, u"-"_s, u"-"_s}, false);
}

void TestPictureButtons::looksFollowTheMouse() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, looks);
    QFETCH(bool, hovering);
    for (const QString &step : steps) {
        perform(step);
    }
    QStringList seen;
    for (const QString &button : kButtons) {
        seen.append(look(button));
    }
    QCOMPARE(seen, looks);
    QCOMPARE(mWindow->hovering(), hovering);
    QVERIFY(mWindow->isVisible());
}

void TestPictureButtons::hotControlsShowTheHandPointer() {
    for (const QString &name : kButtons + QStringList{u"Image5"_s, u"Image6"_s, u"Image7"_s}) {
        QCOMPARE(Control(mWindow.get(), name)->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(mWindow->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(Control(mWindow.get(), u"chkTop"_s)->cursor().shape(), Qt::ArrowCursor);
}

void TestPictureButtons::hotspotsOpenTheirPages_data() {
    QTest::addColumn<QString>("hotspot");
    QTest::addColumn<QUrl>("page");
    QTest::newRow("help") << u"Image5"_s << QUrl(u"http://127.0.0.1:9/world/jiantizi/"_s);
    QTest::newRow("maker") << u"Image7"_s << QUrl(QString::fromUtf16(maker::kHomePage));
}

void TestPictureButtons::hotspotsOpenTheirPages() {
    QFETCH(QString, hotspot);
    QFETCH(QUrl, page);
    UrlCatcher browser;
    QDesktopServices::setUrlHandler(u"http"_s, &browser, "open");
    Click(mWindow.get(), hotspot);
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QCOMPARE(browser.opened, QList<QUrl>{page});
    QVERIFY(!mWindow->hovering());
}

void TestPictureButtons::helpOpensTheChosenServicesPage() {
    frmMain window({stand_in::Choice(u"google"_s, u"https://translate.example:8443"_s)});
    window.show();
    UrlCatcher browser;
    QDesktopServices::setUrlHandler(u"https"_s, &browser, "open");
    Click(&window, u"Image5"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);
    QCOMPARE(browser.opened,
             QList<QUrl>{QUrl(u"https://translate.example:8443/?sl=ja&tl=zh-CN"_s)});
}

void TestPictureButtons::aboutBoxShowsItsEightLines() {
    const ModalBox about = AnswerModalBox([this] { Click(mWindow.get(), u"Image6"_s); });
    QCOMPARE(about.title, u"Quorvane"_s);
    QCOMPARE(about.icon, QMessageBox::Information);
    QCOMPARE(about.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const QStringList lines = about.text.split(u"\r\n"_s);
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[0], u"Quorvanev1.0"_s);
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], u"作者:"_s + QString::fromUtf16(maker::kAuthor));
    QCOMPARE(lines[3], u"邮箱:"_s + QString::fromUtf16(maker::kEmail));
    QCOMPARE(lines[4], u"QQ:"_s + QString::fromUtf16(maker::kQQ));
    QCOMPARE(lines[5], QString::fromUtf16(maker::kHomePage));
    QCOMPARE(lines[6], QString());
    QCOMPARE(lines[7], u"2010-11-11"_s);
}

void TestPictureButtons::controlsHaveAccessibleNames() {
    QSet<QString> names;
    for (const QString &name : kButtons + QStringList{u"Image5"_s, u"Image6"_s, u"Image7"_s}) {
        const QWidget *widget = Control(mWindow.get(), name);
        QVERIFY2(!widget->accessibleDescription().isEmpty(), qPrintable(name));
        names.insert(widget->accessibleName());
    }
    QCOMPARE(names.size(), 7);
    QVERIFY(!names.contains(QString()));
}

void TestPictureButtons::pressActionDoesWhatAClickDoes_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    // "status <text>", "minimised", "closed", "box <title>" or "opens <address>"
    QTest::addColumn<QString>("effect");
    const QString emptyInput = u"status 错误:要翻译内容不能为空"_s;
    QTest::newRow("日 -> 中") << u"imgJa2Ch"_s << QAccessible::PushButton << emptyInput;
    QTest::newRow("中 -> 日") << u"imgCh2Ja"_s << QAccessible::PushButton << emptyInput;
    QTest::newRow("minimise") << u"imgMin"_s << QAccessible::PushButton << u"minimised"_s;
    QTest::newRow("close") << u"imgClose"_s << QAccessible::PushButton << u"closed"_s;
    QTest::newRow("about") << u"Image6"_s << QAccessible::PushButton << u"box Quorvane"_s;
    QTest::newRow("help") << u"Image5"_s << QAccessible::Link
                          << u"opens http://127.0.0.1:9/world/jiantizi/"_s;
    QTest::newRow("maker") << u"Image7"_s << QAccessible::Link
                           << u"opens "_s + QString::fromUtf16(maker::kHomePage);
}

// A screen reader presses the control through its one action; the window does what a left
// click does, from the event loop.
void TestPictureButtons::pressActionDoesWhatAClickDoes() {
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, effect);
    QWidget *widget = Control(mWindow.get(), control);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), role);
    QCOMPARE(accessible->text(QAccessible::Name), widget->accessibleName());
    QCOMPARE(accessible->text(QAccessible::Description), widget->accessibleDescription());
    QAccessibleActionInterface *actions = accessible->actionInterface();
    QVERIFY(actions);
    QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});

    UrlCatcher browser;
    QDesktopServices::setUrlHandler(u"http"_s, &browser, "open");
    const ModalBox box = AnswerModalBox([actions] {
        actions->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(200);
    });
    QDesktopServices::unsetUrlHandler(u"http"_s);
    const QString what = effect.section(u' ', 0, 0);
    const QString detail = effect.section(u' ', 1);
    if (what == u"status"_s) {
        QCOMPARE(Control<QTextEdit>(mWindow.get(), u"rtbMsg"_s)->toPlainText(), detail);
    } else if (what == u"minimised"_s) {
        QTRY_VERIFY(mWindow->isMinimized());
    } else if (what == u"closed"_s) {
        QVERIFY(!mWindow->isVisible());
    } else if (what == u"box"_s) {
        QCOMPARE(box.title, detail);
    } else {
        QCOMPARE(browser.opened, QList<QUrl>{QUrl(detail)});
    }
}

void TestPictureButtons::accessibleTreeLeavesOutTheHiddenPictures() {
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(mWindow.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QStringList controls;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface *child = window->child(i);
        QCOMPARE(window->indexOfChild(child), i);
        QVERIFY2(!child->text(QAccessible::Name).isEmpty(),
                 qPrintable(child->object()->objectName()));
        controls.append(child->object()->objectName());
    }
    QCOMPARE(controls, (QStringList{u"txtTop"_s, u"txtDown"_s, u"rtbMsg"_s, u"chkTop"_s,
                                    u"imgJa2Ch"_s, u"imgCh2Ja"_s, u"imgMin"_s, u"imgClose"_s,
                                    u"Image5"_s, u"Image6"_s, u"Image7"_s}));
}

// The status line is a status bar whose name and text are the line. That each change reaches the
// screen reader is checked over AT-SPI: the offscreen platform drops accessibility events.
void TestPictureButtons::statusBarReadsTheStatusLine() {
    auto *line = Control<QTextEdit>(mWindow.get(), u"rtbMsg"_s);
    QAccessibleInterface *status = QAccessible::queryAccessibleInterface(line);
    QCOMPARE(status->role(), QAccessible::StatusBar);
    QCOMPARE(status->childCount(), 0);
    QAccessibleTextInterface *text = status->textInterface();
    QVERIFY(text);
    for (const QString &expected : {u"状态:就绪"_s, u"错误:要翻译内容不能为空"_s}) {
        if (expected != line->toPlainText()) {
            Click(mWindow.get(), u"imgJa2Ch"_s);
        }
        QCOMPARE(status->text(QAccessible::Name), expected);
        QCOMPARE(text->text(0, text->characterCount()), expected);
    }
}

QTEST_MAIN(TestPictureButtons)
#include "tst_picturebuttons.moc"
