#include "ui/SkinPictures.h"

namespace quorvane {

namespace {

QString SkinPath(const QString &fileName) {
    return QStringLiteral(":/skin/") + fileName;
}

}  // namespace

QPixmap LoadSkinPicture(const QString &fileName, qreal devicePixelRatio) {
    if (devicePixelRatio >= 2) {
        const QString twice = fileName.left(fileName.lastIndexOf(u'.')) + QStringLiteral("@2x.png");
        QPixmap picture(SkinPath(twice));
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(2);
            return picture;
        }
    }
    return QPixmap(SkinPath(fileName));
}

QImage SkinBackgroundImage() {
    return QImage(SkinPath(QStringLiteral("background.bmp")));
}

}  // namespace quorvane
