#include "ui/frmMain.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

#include "ui/ImageControl.h"
#include "ui/InputFocusRules.h"
#include "ui/MakerInfo.h"
#include "ui/PictureButtonLooks.h"
#include "ui/RuntimeErrorBox.h"
#include "ui/SkinPictures.h"
#include "ui/StatusLine.h"
#include "ui/WindowFont.h"

namespace quorvane {

namespace {

constexpr QSize kClientSize(800, 576);
const QColor kStatusGround(184, 219, 250);
const QColor kFlashColour(192, 255, 255);  // pale cyan

QTextEdit *CreateTextBox(const QString &name, QRect geometry, QWidget *parent) {
    auto *box = new QTextEdit(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setAcceptRichText(false);
    box->setTabChangesFocus(true);
    return box;
}

void SetGround(QWidget *widget, QPalette::ColorRole role, const QColor &colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void Describe(QWidget *widget, const QString &name, const QString &description) {
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
}

QString AboutText() {
    return QStringList{QStringLiteral("Quorvanev1.0"),
                       QString(),
                       QStringLiteral("作者:") + QString::fromUtf16(maker::kAuthor),
                       QStringLiteral("邮箱:") + QString::fromUtf16(maker::kEmail),
                       QStringLiteral("QQ:") + QString::fromUtf16(maker::kQQ),
                       QString::fromUtf16(maker::kHomePage),
                       QString(),
                       QStringLiteral("2010-11-11")}
        .join(QStringLiteral("\r\n"));
}

}  // namespace

const frmMain::PictureControl frmMain::kPictureControls[] = {
    {&frmMain::imgJa2Ch,
     u"imgJa2Ch",
     {24, 96, 90, 25},
     QAccessible::PushButton,
     u"日 -> 中",
     u"把原文从日文翻译成中文",
     &frmMain::imgJa2Ch_Click},
    {&frmMain::imgCh2Ja,
     u"imgCh2Ja",
     {128, 96, 90, 25},
     QAccessible::PushButton,
     u"中 -> 日",
     u"把原文从中文翻译成日文",
     &frmMain::imgCh2Ja_Click},
    {&frmMain::imgMin,
     u"imgMin",
     {695, 0, 30, 17},
     QAccessible::PushButton,
     u"最小化",
     u"把窗口最小化到任务栏",
     &frmMain::imgMin_Click},
    {&frmMain::imgClose,
     u"imgClose",
     {754, 0, 33, 17},
     QAccessible::PushButton,
     u"关闭",
     u"关闭窗口并退出程序",
     &frmMain::imgClose_Click},
    {&frmMain::Image5,
     u"Image5",
     {616, 2, 33, 17},
     QAccessible::Link,
     u"帮助",
     u"在浏览器中打开翻译服务的网页",
     &frmMain::Image5_Click},
    {&frmMain::Image6,
     u"Image6",
     {656, 2, 25, 17},
     QAccessible::PushButton,
     u"关于",
     u"显示关于本程序的信息",
     &frmMain::Image6_Click},
    {&frmMain::Image7,
     u"Image7",
     {24, 24, 257, 57},
     QAccessible::Link,
     u"主页",
     u"在浏览器中打开作者的主页",
     &frmMain::Image7_Click},
};

frmMain::frmMain(const ServiceChain &chain, CommandSettings settings, QWidget *parent)
    : SkinnedWindow(parent, Qt::Window | Qt::FramelessWindowHint),
      mChain(chain),
      mTranslate(*this, chain, std::move(settings)) {
    InstallWindowAccessibility();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setFixedSize(kClientSize);
    setFont(WindowFont());
    setMouseTracking(true);
    CreateControls();
    CreatePictureControls();
    mLooks = new PictureButtonLooks(*this, imgJa2Ch, imgCh2Ja, imgMin, imgClose);
    Form_Load();
}

void frmMain::CreateControls() {
    txtTop = CreateTextBox(QStringLiteral("txtTop"), QRect(8, 128, 785, 177), this);
    txtDown = CreateTextBox(QStringLiteral("txtDown"), QRect(8, 312, 785, 257), this);
    Describe(txtTop, QStringLiteral("原文"), QStringLiteral("要翻译的文字"));
    Describe(txtDown, QStringLiteral("译文"), QStringLiteral("翻译的结果"));
    new InputFocusRules(txtTop, [this] { Translate(DirectionOfText(inputText())); });

    rtbMsg =
        new StatusLine(QStringLiteral("rtbMsg"), QRect(240, 104, 433, 17), kStatusGround, this);
    rtbMsg->setPlainText(QStringLiteral("状态:就绪"));

    chkTop = new QCheckBox(QStringLiteral("窗口置顶"), this);
    chkTop->setObjectName(QStringLiteral("chkTop"));
    chkTop->setGeometry(696, 104, 97, 15);
    chkTop->setAutoFillBackground(true);
    chkTop->setBackgroundRole(QPalette::Window);
    SetGround(chkTop, QPalette::Window, kStatusGround);
    connect(chkTop, &QCheckBox::clicked, this, &frmMain::chkTop_Click);

    setTabOrder(txtTop, txtDown);
    setTabOrder(txtDown, chkTop);
    txtTop->setFocus();
}

void frmMain::CreatePictureControls() {
    for (const PictureControl &row : kPictureControls) {
        auto *control = new ImageControl(QString::fromUtf16(row.name), row.place, this, row.role);
        Describe(control, QString::fromUtf16(row.accessibleName),
                 QString::fromUtf16(row.description));
        control->setCursor(Qt::PointingHandCursor);
        connect(control, &ImageControl::clicked, this, row.click);
        this->*row.control = control;
    }
}

bool frmMain::hovering() const {
    return mLooks->hovering();
}

// A blank area of the window: no visible control under the pointer.
bool frmMain::IsOverBackground(QPoint position) const {
    return childAt(position) == nullptr;
}

// Shaped by the background's pure-blue pixels, which are neither drawn nor hit.
void frmMain::Form_Load() {
    SkinBackground background = LoadSkinBackground(devicePixelRatioF());
    mBackground = std::move(background.picture);
    setMask(background.shape);
    move(screen()->availableGeometry().center() - rect().center());
}

void frmMain::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, mBackground);
}

void frmMain::mousePressEvent(QMouseEvent *event) {
    if (IsOverBackground(event->position().toPoint())) {
        Form_MouseDown(event);
    }
}

void frmMain::mouseMoveEvent(QMouseEvent *event) {
    if (mManualDragOffset) {
        move(event->globalPosition().toPoint() - *mManualDragOffset);
    } else if (IsOverBackground(event->position().toPoint())) {
        Form_MouseMove();
    }
}

void frmMain::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        mManualDragOffset.reset();
    }
}

// A left press on the background moves the window with the pointer until the button is released:
// by the window system where it offers that, else by hand. On X11 it is always by hand: the window
// manager learns of a system move only after the press, and a release that reaches the window
// first (a tap) would leave that move running with no button held.
void frmMain::Form_MouseDown(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    QWindow *window = windowHandle();
    if (QGuiApplication::platformName() == u"xcb" || !window || !window->startSystemMove()) {
        mManualDragOffset = event->globalPosition().toPoint() - pos();
    }
}

// The window-wide reset of the picture buttons.
void frmMain::Form_MouseMove() {
    mLooks->ResetAll();
}

void frmMain::closeEvent(QCloseEvent *event) {
    event->accept();
    Form_Unload();
}

// The program ends with its window, at once: the command suspended inside a nested event
// dispatch stops when it resumes, and the event loops all return. The automatic quit after the
// last window is only a posted request, which was seen to wait for the dispatcher's next wake.
void frmMain::Form_Unload() {
    mTranslate.Abandon();
    QCoreApplication::quit();
}

// Setting the hint through QWidget would hide the window and re-create its native window, which
// loses the activation; the window system is told directly instead, and the widget's flags kept
// in step with it.
void frmMain::chkTop_Click() {
    const Qt::WindowFlags flags =
        windowFlags().setFlag(Qt::WindowStaysOnTopHint, chkTop->checkState() != Qt::Unchecked);
    overrideWindowFlags(flags);
    if (QWindow *window = windowHandle()) {
        window->setFlags(flags);
    }
}

void frmMain::imgJa2Ch_Click() {
    Translate(TranslateDirection::Ja2Ch);
}

void frmMain::imgCh2Ja_Click() {
    Translate(TranslateDirection::Ch2Ja);
}

void frmMain::imgMin_Click() {
    showMinimized();
}

void frmMain::imgClose_Click() {
    close();
}

void frmMain::ShowActivated() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmMain::TranslateGivenText(const QString &text) {
    ShowActivated();
    if (mTranslate.isRunning()) {
        return;
    }
    txtTop->setPlainText(text);
    Translate(DirectionOfText(text));
}

void frmMain::TranslateSelection() {
    const QClipboard *clipboard = QGuiApplication::clipboard();
    TranslateGivenText(clipboard->text(clipboard->supportsSelection() ? QClipboard::Selection
                                                                      : QClipboard::Clipboard));
}

// Every translation starts here, and its runtime errors end here.
void frmMain::Translate(TranslateDirection direction) {
    RunReportingErrors([this, direction] { mTranslate.Run(direction); });
}

void frmMain::Image5_Click() {
    QDesktopServices::openUrl(QUrl(mChain.front().HelpPage()));
}

void frmMain::Image6_Click() {
    QMessageBox about(QMessageBox::Information, QStringLiteral("Quorvane"), AboutText(),
                      QMessageBox::Ok, this);
    about.exec();
}

void frmMain::Image7_Click() {
    QDesktopServices::openUrl(QUrl(QString::fromUtf16(maker::kHomePage)));
}

// Every character as the box holds it (toPlainText() would turn U+00A0 into a space and U+2028
// into a line break); a paragraph break goes out as LF.
QString frmMain::inputText() const {
    return txtTop->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

void frmMain::setInputHighlighted(bool highlighted) {
    SetGround(txtTop, QPalette::Base,
              highlighted ? kFlashColour : QApplication::palette(txtTop).color(QPalette::Base));
}

void frmMain::setStatusText(const QString &text) {
    rtbMsg->setLine(text);
}

void frmMain::setOutputText(const QString &text) {
    txtDown->setPlainText(text);
}

void frmMain::showFailureMessage(const QString &text) {
    QMessageBox failure(QMessageBox::Warning, QStringLiteral("Quorvane"), text, QMessageBox::Ok,
                        this);
    failure.exec();
}

}  // namespace quorvane
