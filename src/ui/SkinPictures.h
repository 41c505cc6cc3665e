#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace quorvane {

// A skin picture by its file name ("imgJa2Ch1.jpg"); on a screen of device pixel ratio 2 or more,
// its drawing at twice the size.
QPixmap LoadSkinPicture(const QString &fileName, qreal devicePixelRatio);

// The 1x background, whose pure-blue pixels are see-through.
QImage SkinBackgroundImage();

}  // namespace quorvane
