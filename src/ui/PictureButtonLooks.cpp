#include "ui/PictureButtonLooks.h"

#include <QWidget>

#include "ui/ImageControl.h"
#include "ui/SkinPictures.h"

namespace quorvane {

PictureButtonLooks::PictureButtonLooks(QWidget &window, ImageControl *imgJa2Ch,
                                       ImageControl *imgCh2Ja, ImageControl *imgMin,
                                       ImageControl *imgClose)
    : QObject(&window), Picture3(new QWidget(&window)) {
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Picture3->setGeometry(496, 344, 201, 145);
    Picture3->hide();
    mJa2Ch = {imgJa2Ch, Holder(QStringLiteral("imgJa2Ch1"), {8, 8}),
              Holder(QStringLiteral("imgJa2Ch2"), {8, 32}),
              Holder(QStringLiteral("imgJa2Ch3"), {8, 56})};
    mCh2Ja = {imgCh2Ja, Holder(QStringLiteral("imgCh2Ja1"), {104, 8}),
              Holder(QStringLiteral("imgCh2Ja2"), {104, 32}),
              Holder(QStringLiteral("imgCh2Ja3"), {104, 56})};
    mMin = {imgMin, nullptr, Holder(QStringLiteral("imgMin2"), {8, 88}),
            Holder(QStringLiteral("imgMin3"), {8, 112})};
    mClose = {imgClose, nullptr, Holder(QStringLiteral("imgClose2"), {48, 88}),
              Holder(QStringLiteral("imgClose3"), {48, 112})};
    ShowLook(mJa2Ch, Look::Normal);
    ShowLook(mCh2Ja, Look::Normal);
    Connect(mJa2Ch, true);
    Connect(mCh2Ja, true);
    Connect(mMin, true);
    Connect(mClose, false);
}

ImageControl *PictureButtonLooks::Holder(const QString &name, QPoint place) {
    auto *holder = new ImageControl(name, QRect(place, QSize()), Picture3);
    holder->setPicture(
        LoadSkinPicture(name + QStringLiteral(".jpg"), Picture3->devicePixelRatioF()));
    return holder;
}

void PictureButtonLooks::Connect(const PictureButton &picture, bool hasReleaseHandler) {
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

void PictureButtonLooks::ShowLook(const PictureButton &picture, Look look) {
    const ImageControl *holder = look == Look::Hover     ? picture.hover
                                 : look == Look::Pressed ? picture.pressed
                                                         : picture.normal;
    if (holder) {
        picture.button->setPicture(holder->pixmap());
    } else {
        picture.button->clearPicture();
    }
}

void PictureButtonLooks::ResetAll() {
    if (!mHovering) {
        return;
    }
    ShowLook(mJa2Ch, Look::Normal);
    ShowLook(mCh2Ja, Look::Normal);
    ShowLook(mMin, Look::Normal);
    ShowLook(mClose, Look::Normal);
    mHovering = false;
}

}  // namespace quorvane
