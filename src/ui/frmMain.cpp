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
#include "ui/MakerInfo.h"
#include "ui/SkinPictures.h"
#include "ui/WindowAccessibility.h"

namespace quorvane {

namespace {

constexpr QSize kClientSize(800, 576);
const QColor kStatusGround(184, 219, 250);
const QColor kFlashColour(192, 255, 255);  // pale cyan

QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    return font;
}

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

frmMain::frmMain(const ServiceChoice &service, CommandSettings settings, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      mService(service),
      mTranslate(*this, service, std::move(settings)) {
    InstallWindowAccessibility();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setFixedSize(kClientSize);
    setFont(WindowFont());
    setMouseTracking(true);
    CreateControls();
    CreatePictureHolders();
    ConnectHandlers();
    Form_Load();
}

void frmMain::CreateControls() {
    txtTop = CreateTextBox(QStringLiteral("txtTop"), QRect(8, 128, 785, 177), this);
    txtDown = CreateTextBox(QStringLiteral("txtDown"), QRect(8, 312, 785, 257), this);
    Describe(txtTop, QStringLiteral("原文"), QStringLiteral("要翻译的文字"));
    Describe(txtDown, QStringLiteral("译文"), QStringLiteral("翻译的结果"));

    rtbMsg = CreateTextBox(QStringLiteral("rtbMsg"), QRect(240, 104, 433, 17), this);
    rtbMsg->setReadOnly(true);
    rtbMsg->setFocusPolicy(Qt::NoFocus);
    rtbMsg->setFrameShape(QFrame::NoFrame);
    rtbMsg->setLineWrapMode(QTextEdit::NoWrap);
    rtbMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rtbMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rtbMsg->document()->setDocumentMargin(1);
    SetGround(rtbMsg, QPalette::Base, kStatusGround);
    rtbMsg->setPlainText(QStringLiteral("状态:就绪"));
    rtbMsg->setAccessibleDescription(QStringLiteral("状态"));

    chkTop = new QCheckBox(QStringLiteral("窗口置顶"), this);
    chkTop->setObjectName(QStringLiteral("chkTop"));
    chkTop->setGeometry(696, 104, 97, 15);
    chkTop->setAutoFillBackground(true);
    chkTop->setBackgroundRole(QPalette::Window);
    SetGround(chkTop, QPalette::Window, kStatusGround);

    imgJa2Ch = new ImageControl(QStringLiteral("imgJa2Ch"), QRect(24, 96, 90, 25), this);
    imgCh2Ja = new ImageControl(QStringLiteral("imgCh2Ja"), QRect(128, 96, 90, 25), this);
    imgMin = new ImageControl(QStringLiteral("imgMin"), QRect(695, 0, 30, 17), this);
    imgClose = new ImageControl(QStringLiteral("imgClose"), QRect(754, 0, 33, 17), this);
    Image5 = new ImageControl(QStringLiteral("Image5"), QRect(616, 2, 33, 17), this);
    Image6 = new ImageControl(QStringLiteral("Image6"), QRect(656, 2, 25, 17), this);
    Image7 = new ImageControl(QStringLiteral("Image7"), QRect(24, 24, 257, 57), this);
    Describe(imgJa2Ch, QStringLiteral("日 -> 中"), QStringLiteral("把原文从日文翻译成中文"));
    Describe(imgCh2Ja, QStringLiteral("中 -> 日"), QStringLiteral("把原文从中文翻译成日文"));
    Describe(imgMin, QStringLiteral("最小化"), QStringLiteral("把窗口最小化到任务栏"));
    Describe(imgClose, QStringLiteral("关闭"), QStringLiteral("关闭窗口并退出程序"));
    Describe(Image5, QStringLiteral("帮助"), QStringLiteral("在浏览器中打开翻译服务的网页"));
    Describe(Image6, QStringLiteral("关于"), QStringLiteral("显示关于本程序的信息"));
    Describe(Image7, QStringLiteral("主页"), QStringLiteral("在浏览器中打开作者的主页"));
    for (ImageControl *hot : {imgJa2Ch, imgCh2Ja, imgMin, imgClose, Image5, Image6, Image7}) {
        hot->setCursor(Qt::PointingHandCursor);
    }

    setTabOrder(txtTop, txtDown);
    setTabOrder(txtDown, chkTop);
    txtTop->installEventFilter(this);
    txtTop->viewport()->installEventFilter(this);
    txtTop->setFocus();
}

void frmMain::CreatePictureHolders() {
    Picture3 = new QWidget(this);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setGeometry(496, 344, 201, 145);
    Picture3->hide();
    const qreal ratio = devicePixelRatioF();
    const auto holder = [this, ratio](const QString &name, QPoint place) {
        auto *control = new ImageControl(name, QRect(place, QSize()), Picture3);
        control->setPicture(LoadSkinPicture(name + QStringLiteral(".jpg"), ratio));
        return control;
    };
    mJa2Ch = {imgJa2Ch, holder(QStringLiteral("imgJa2Ch1"), {8, 8}),
              holder(QStringLiteral("imgJa2Ch2"), {8, 32}),
              holder(QStringLiteral("imgJa2Ch3"), {8, 56})};
    mCh2Ja = {imgCh2Ja, holder(QStringLiteral("imgCh2Ja1"), {104, 8}),
              holder(QStringLiteral("imgCh2Ja2"), {104, 32}),
              holder(QStringLiteral("imgCh2Ja3"), {104, 56})};
    mMin = {imgMin, nullptr, holder(QStringLiteral("imgMin2"), {8, 88}),
            holder(QStringLiteral("imgMin3"), {8, 112})};
    mClose = {imgClose, nullptr, holder(QStringLiteral("imgClose2"), {48, 88}),
              holder(QStringLiteral("imgClose3"), {48, 112})};
    ShowLook(mJa2Ch, Look::Normal);
    ShowLook(mCh2Ja, Look::Normal);
}

void frmMain::ConnectPictureButton(const PictureButton &picture, bool hasReleaseHandler) {
    connect(picture.button, &ImageControl::mouseMoved, this, [this, picture] {
        ShowLook(picture, Look::Hover);
        mHovering = true;
    });
    connect(picture.button, &ImageControl::mousePressed, this,
            [picture] { ShowLook(picture, Look::Pressed); });
    if (hasReleaseHandler) {
        connect(picture.button, &ImageControl::mouseReleased, this,
                [picture] { ShowLook(picture, Look::Normal); });
    }
}

void frmMain::ConnectHandlers() {
    ConnectPictureButton(mJa2Ch, true);
    ConnectPictureButton(mCh2Ja, true);
    ConnectPictureButton(mMin, true);
    ConnectPictureButton(mClose, false);
    connect(imgJa2Ch, &ImageControl::clicked, this, &frmMain::imgJa2Ch_Click);
    connect(imgCh2Ja, &ImageControl::clicked, this, &frmMain::imgCh2Ja_Click);
    connect(imgMin, &ImageControl::clicked, this, &frmMain::imgMin_Click);
    connect(imgClose, &ImageControl::clicked, this, &frmMain::imgClose_Click);
    connect(Image5, &ImageControl::clicked, this, &frmMain::Image5_Click);
    connect(Image6, &ImageControl::clicked, this, &frmMain::Image6_Click);
    connect(Image7, &ImageControl::clicked, this, &frmMain::Image7_Click);
    connect(chkTop, &QCheckBox::clicked, this, &frmMain::chkTop_Click);
}

void frmMain::ShowLook(const PictureButton &picture, Look look) {
    const ImageControl *holder = look == Look::Hover     ? picture.hover
                                 : look == Look::Pressed ? picture.pressed
                                                         : picture.normal;
    if (holder) {
        picture.button->setPicture(holder->pixmap());
    } else {
        picture.button->clearPicture();
    }
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

// The window-wide reset of the picture buttons, once after each hover.
void frmMain::Form_MouseMove() {
    if (!mHovering) {
        return;
    }
    ShowLook(mJa2Ch, Look::Normal);
    ShowLook(mCh2Ja, Look::Normal);
    ShowLook(mMin, Look::Normal);
    ShowLook(mClose, Look::Normal);
    mHovering = false;
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
    mTranslate.Run(TranslateDirection::Ja2Ch);
}

void frmMain::imgCh2Ja_Click() {
    mTranslate.Run(TranslateDirection::Ch2Ja);
}

void frmMain::imgMin_Click() {
    showMinimized();
}

void frmMain::imgClose_Click() {
    close();
}

// Every arrival of the focus selects the whole text, so typing replaces it. A click that brings
// the focus would move the caret at once: that press, delivered right after the focus, is
// swallowed, and no later one.
void frmMain::txtTop_GotFocus(Qt::FocusReason reason) {
    QTextCursor cursor = txtTop->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(inputText().size(), QTextCursor::KeepAnchor);
    txtTop->setTextCursor(cursor);
    if (reason == Qt::MouseFocusReason) {
        mSwallowFocusClick = true;
        QMetaObject::invokeMethod(
            this, [this] { mSwallowFocusClick = false; }, Qt::QueuedConnection);
    }
}

// The focus coming back from the box's own context menu never left it for the user: the
// selection the menu acts on stays.
bool frmMain::eventFilter(QObject *watched, QEvent *event) {
    if (watched == txtTop && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason) {
            txtTop_GotFocus(reason);
        }
    } else if (watched == txtTop->viewport() && event->type() == QEvent::MouseButtonPress &&
               std::exchange(mSwallowFocusClick, false)) {
        return true;
    } else if (watched == txtTop && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            mTranslate.Run(DirectionOfText(inputText()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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
    mTranslate.Run(DirectionOfText(text));
}

void frmMain::TranslateSelection() {
    const QClipboard *clipboard = QGuiApplication::clipboard();
    TranslateGivenText(clipboard->text(clipboard->supportsSelection() ? QClipboard::Selection
                                                                      : QClipboard::Clipboard));
}

void frmMain::Image5_Click() {
    QDesktopServices::openUrl(QUrl(mService.HelpPage()));
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

// A status bar's name is its line: the name's change is what tells a screen reader to speak it.
void frmMain::setStatusText(const QString &text) {
    rtbMsg->setPlainText(text);
    QAccessibleEvent changed(rtbMsg, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
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
