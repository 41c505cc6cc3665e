#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <optional>

#include "translation/TranslateCommand.h"
#include "translation/TranslateRequest.h"

class QCheckBox;
class QTextEdit;

namespace quorvane {

class ImageControl;

// The program's only window: an 800 x 576 skin without a system frame.
class frmMain : public QWidget, private TranslateCommandView {
    Q_OBJECT

public:
    explicit frmMain(const ServiceChoice &service, CommandSettings settings = {},
                     QWidget *parent = nullptr);

    const TranslateCommand &translateCommand() const { return mTranslate; }
    // Shown, restored when minimised, raised and active.
    void ShowActivated();
    // Shows the window, puts `text` into the input box in place of what was there and translates
    // it in the direction that Ctrl+Return would choose. Ignored, like a press, while a
    // translation runs.
    void TranslateGivenText(const QString &text);
    // The same with the primary selection where the platform has one, else the clipboard.
    void TranslateSelection();

    // A picture button has shown its hover look since the last window-wide reset.
    bool hovering() const { return mHovering; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One picture button and the holders of its looks; `normal` is null where the normal look
    // is no picture.
    struct PictureButton {
        ImageControl *button;
        ImageControl *normal;
        ImageControl *hover;
        ImageControl *pressed;
    };
    enum class Look { Normal, Hover, Pressed };

    void CreateControls();
    void CreatePictureHolders();
    void ConnectPictureButton(const PictureButton &picture, bool hasReleaseHandler);
    void ConnectHandlers();
    static void ShowLook(const PictureButton &picture, Look look);
    bool IsOverBackground(QPoint position) const;

    void Form_Load();
    void Form_MouseDown(QMouseEvent *event);
    void Form_MouseMove();
    void Form_Unload();
    void chkTop_Click();
    void imgJa2Ch_Click();
    void imgCh2Ja_Click();
    void imgMin_Click();
    void imgClose_Click();
    void txtTop_GotFocus(Qt::FocusReason reason);
    void Image5_Click();
    void Image6_Click();
    void Image7_Click();

    // TranslateCommandView
    QString inputText() const override;
    void setInputHighlighted(bool highlighted) override;
    void setStatusText(const QString &text) override;
    void setOutputText(const QString &text) override;
    void showFailureMessage(const QString &text) override;

    QPixmap mBackground;
    QTextEdit *txtTop = nullptr;
    QTextEdit *txtDown = nullptr;
    QTextEdit *rtbMsg = nullptr;
    QCheckBox *chkTop = nullptr;
    ImageControl *imgJa2Ch = nullptr;
    ImageControl *imgCh2Ja = nullptr;
    ImageControl *imgMin = nullptr;
    ImageControl *imgClose = nullptr;
    ImageControl *Image5 = nullptr;
    ImageControl *Image6 = nullptr;
    ImageControl *Image7 = nullptr;
    QWidget *Picture3 = nullptr;
    PictureButton mJa2Ch{};
    PictureButton mCh2Ja{};
    PictureButton mMin{};
    PictureButton mClose{};

    ServiceChoice mService;
    TranslateCommand mTranslate;
    bool mHovering = false;
    bool mSwallowFocusClick = false;
    std::optional<QPoint> mManualDragOffset;
};

}  // namespace quorvane
