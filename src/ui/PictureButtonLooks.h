#pragma once

#include <QObject>

class QWidget;

namespace quorvane {

class ImageControl;

// The looks of the four picture buttons: the hidden holders of their pictures (in `Picture3`),
// hover, press and release, and the window-wide reset after a hover.
class PictureButtonLooks : public QObject {
public:
    PictureButtonLooks(QWidget &window, ImageControl *imgJa2Ch, ImageControl *imgCh2Ja,
                       ImageControl *imgMin, ImageControl *imgClose);

    // Every button back to its normal look, once after each hover.
    void ResetAll();
    // A picture button has shown its hover look since the last reset.
    bool hovering() const { return mHovering; }

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

    ImageControl *Holder(const QString &name, QPoint place);
    void Connect(const PictureButton &picture, bool hasReleaseHandler);
    static void ShowLook(const PictureButton &picture, Look look);

    QWidget *Picture3;
    PictureButton mJa2Ch;
    PictureButton mCh2Ja;
    PictureButton mMin;
    PictureButton mClose;
    bool mHovering = false;
};

}  // namespace quorvane
