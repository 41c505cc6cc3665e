#include "ui/SkinPictures.h"

#include <QImage>

namespace quorvane {

namespace {

QString SkinPath(const QString &fileName) {
    return QStringLiteral(":/skin/") + fileName;
}

// The 2x drawing, or a null pixmap where the screen does not want one.
QPixmap LoadTwiceTheSize(const QString &fileName, qreal devicePixelRatio) {
    if (devicePixelRatio < 2) {
        return {};
    }
    const QString twice = fileName.left(fileName.lastIndexOf(u'.')) + QStringLiteral("@2x.png");
    QPixmap picture(SkinPath(twice));
    picture.setDevicePixelRatio(2);
    return picture;
}

}  // namespace

QPixmap LoadSkinPicture(const QString &fileName, qreal devicePixelRatio) {
    const QPixmap twice = LoadTwiceTheSize(fileName, devicePixelRatio);
    return twice.isNull() ? QPixmap(SkinPath(fileName)) : twice;
}

SkinBackground LoadSkinBackground(qreal devicePixelRatio) {
    const QString fileName = QStringLiteral("background.bmp");
    QImage plain(SkinPath(fileName));
    QBitmap shape = QBitmap::fromImage(plain.createMaskFromColor(kColourKey, Qt::MaskInColor));
    QPixmap picture = LoadTwiceTheSize(fileName, devicePixelRatio);
    // The decoded picture becomes the pixmap in place, without a copy of its pixels.
    return {picture.isNull() ? QPixmap::fromImage(std::move(plain)) : picture, std::move(shape)};
}

}  // namespace quorvane
