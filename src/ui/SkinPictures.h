#pragma once

#include <QBitmap>
#include <QPixmap>
#include <QString>

namespace quorvane {

// The skin's see-through colour: pure blue.
inline constexpr QRgb kColourKey = qRgb(0, 0, 255);

// A skin picture by its file name ("imgJa2Ch1.jpg"); on a screen of device pixel ratio 2 or more,
// its drawing at twice the size.
QPixmap LoadSkinPicture(const QString &fileName, qreal devicePixelRatio);

struct SkinBackground {
    QPixmap picture;
    QBitmap shape;  // in logical pixels: set where the 1x picture is not pure blue
};

// The window's background and the shape it gives the window, from one decoding of the picture.
SkinBackground LoadSkinBackground(qreal devicePixelRatio);

}  // namespace quorvane
