#pragma once

#include <QAccessible>
#include <QPixmap>
#include <QPoint>
#include <optional>

#include "translation/TranslateCommand.h"
#include "translation/TranslateRequest.h"
#include "ui/WindowAccessibility.h"

class QCheckBox;
class QTextEdit;

namespace quorvane {

class ImageControl;
class PictureButtonLooks;
class StatusLine;

// The program's only window: an 800 x 576 skin without a system frame. It lays out its controls,
// keeps its frame (shape, drag, keep-on-top, minimise, close), shows the translate command's
// results, and handles its controls' clicks.
class frmMain : public SkinnedWindow, private TranslateCommandView {
    Q_OBJECT

public:
    explicit frmMain(const ServiceChain &chain, CommandSettings settings = {},
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
    bool hovering() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // A picture control: where it stands, what a screen reader calls it, and its click handler.
    struct PictureControl {
        ImageControl *frmMain::*control;
        const char16_t *name;
        QRect place;
        QAccessible::Role role;
        const char16_t *accessibleName;
        const char16_t *description;
        void (frmMain::*click)();
    };
    static const PictureControl kPictureControls[];

    void CreateControls();
    void CreatePictureControls();
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
    void Image5_Click();
    void Image6_Click();
    void Image7_Click();
    void Translate(TranslateDirection direction);

    // TranslateCommandView
    QString inputText() const override;
    void setInputHighlighted(bool highlighted) override;
    void setStatusText(const QString &text) override;
    void setOutputText(const QString &text) override;
    void showFailureMessage(const QString &text) override;

    QPixmap mBackground;
    QTextEdit *txtTop = nullptr;
    QTextEdit *txtDown = nullptr;
    StatusLine *rtbMsg = nullptr;
    QCheckBox *chkTop = nullptr;
    ImageControl *imgJa2Ch = nullptr;
    ImageControl *imgCh2Ja = nullptr;
    ImageControl *imgMin = nullptr;
    ImageControl *imgClose = nullptr;
    ImageControl *Image5 = nullptr;
    ImageControl *Image6 = nullptr;
    ImageControl *Image7 = nullptr;
    PictureButtonLooks *mLooks = nullptr;

    ServiceChain mChain;
    TranslateCommand mTranslate;
    std::optional<QPoint> mManualDragOffset;
};

}  // namespace quorvane
