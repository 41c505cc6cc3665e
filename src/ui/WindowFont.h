#pragma once

#include <QFont>

namespace quorvane {

// The font of the window's boxes and status line: SimSun where it is installed, else a CJK font
// that Debian carries, at 12 pixels.
inline QFont WindowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    return font;
}

}  // namespace quorvane
