// Draws Quorvane's skin pictures at 1x and 2x and writes them into the folder given.
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>
#include <functional>
#include <utility>

#include "ui/MakerInfo.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kWindowSize(800, 576);
const QColor kBorder(37, 102, 157);
const QColor kInnerLight(223, 239, 252);
const QColor kTitleInk(43, 88, 145);
const QColor kLabelInk(48, 100, 165);
const QColor kBarFill(240, 246, 252);
const QColor kBarOutline(168, 186, 204);
const QColor kBarDivider(112, 132, 154);
const QColor kGlyph(86, 108, 138);
const QColor kColourKey(0, 0, 255);

// The fill's colour at sample rows; rows between them are interpolated.
constexpr std::pair<int, QRgb> kGradientRows[] = {
    {2, qRgb(231, 244, 255)},   {20, qRgb(212, 236, 254)},  {60, qRgb(195, 227, 252)},
    {100, qRgb(186, 221, 251)}, {112, qRgb(184, 219, 250)}, {121, qRgb(182, 218, 250)},
    {200, qRgb(188, 221, 252)}, {300, qRgb(200, 227, 253)}, {400, qRgb(212, 234, 254)},
    {500, qRgb(223, 240, 255)}, {573, qRgb(228, 243, 255)},
};

QFont SkinFont(int pixelSize, bool bold = false) {
    QFont font(u"WenQuanYi Micro Hei"_s);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QColor GradientAt(int row) {
    for (size_t i = 1; i < std::size(kGradientRows); ++i) {
        const auto [lowRow, low] = kGradientRows[i - 1];
        const auto [highRow, high] = kGradientRows[i];
        if (row <= highRow) {
            const double t = double(row - lowRow) / (highRow - lowRow);
            const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
            return QColor(mix(qRed(low), qRed(high)), mix(qGreen(low), qGreen(high)),
                          mix(qBlue(low), qBlue(high)));
        }
    }
    return QColor::fromRgb(kGradientRows[std::size(kGradientRows) - 1].second);
}

void Pixel(QPainter &p, int x, int y, const QColor &colour) {
    p.fillRect(x, y, 1, 1, colour);
}

// A faceted blue gem on a tan square, filling `box`.
void DrawGem(QPainter &p, const QRectF &box) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 48.0, box.height() / 48.0);
    QLinearGradient tan(0, 0, 0, 48);
    tan.setColorAt(0, QColor(226, 200, 160));
    tan.setColorAt(1, QColor(196, 164, 118));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 128, 86), 1));
    p.setBrush(tan);
    p.drawRect(QRectF(0.5, 0.5, 47, 47));

    const QPointF upperLeft(9, 18), upperRight(39, 18), bottom(24, 43);
    const QPointF crownLeft(17, 18), crownRight(31, 18), tableLeft(18, 10), tableRight(30, 10);
    const auto facet = [&p](std::initializer_list<QPointF> points, QColor colour) {
        p.setPen(QPen(QColor(24, 52, 120), 0.8));
        p.setBrush(colour);
        p.drawPolygon(QPolygonF(QList<QPointF>(points)));
    };
    facet({tableLeft, tableRight, upperRight, upperLeft}, QColor(112, 176, 238));
    facet({tableLeft, tableRight, crownRight, crownLeft}, QColor(168, 212, 248));
    facet({upperLeft, crownLeft, bottom}, QColor(40, 104, 200));
    facet({crownLeft, crownRight, bottom}, QColor(70, 140, 226));
    facet({crownRight, upperRight, bottom}, QColor(28, 78, 168));
    p.restore();
}

void DrawBackground(QPainter &p) {
    for (int row = 2; row <= 573; ++row) {
        p.fillRect(2, row, 796, 1, GradientAt(row));
    }
    p.fillRect(0, 0, 800, 1, kBorder);
    p.fillRect(0, 575, 800, 1, kBorder);
    p.fillRect(0, 0, 1, 576, kBorder);
    p.fillRect(799, 0, 1, 576, kBorder);
    p.fillRect(1, 1, 798, 1, Qt::white);
    Pixel(p, 1, 1, kBorder);
    Pixel(p, 798, 1, kBorder);
    p.fillRect(1, 574, 798, 1, kInnerLight);
    p.fillRect(1, 3, 1, 571, kInnerLight);
    p.fillRect(798, 3, 1, 571, kInnerLight);
    p.fillRect(1, 2, 1, 1, GradientAt(2));
    p.fillRect(798, 2, 1, 1, GradientAt(2));
    for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(798, 0),
                                QPoint(799, 0), QPoint(799, 1)}) {
        Pixel(p, corner.x(), corner.y(), kColourKey);
    }

    DrawGem(p, QRectF(24, 30, 48, 48));
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(kTitleInk);
    p.setFont(SkinFont(28, true));
    p.drawText(QRect(82, 29, 195, 29), Qt::AlignLeft | Qt::AlignVCenter, u"Quorvane"_s);
    p.setFont(SkinFont(12));
    p.drawText(QRect(82, 62, 170, 15), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf16(quorvane::maker::kHomePageLabel));
    p.setPen(kLabelInk);
    p.setFont(SkinFont(12));
    p.drawText(QRect(295, 40, 75, 16), Qt::AlignLeft | Qt::AlignVCenter, u"1.0正式版"_s);
    p.setFont(SkinFont(11));
    p.drawText(QRect(619, 4, 24, 13), Qt::AlignCenter, u"帮助"_s);
    p.drawText(QRect(656, 4, 24, 13), Qt::AlignCenter, u"关于"_s);

    // The caption-button bar hangs from the top border, rounded at its lower corners.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bar;
    bar.moveTo(695.5, 0.5);
    bar.lineTo(695.5, 14.5);
    bar.quadTo(695.5, 17.5, 698.5, 17.5);
    bar.lineTo(791.5, 17.5);
    bar.quadTo(794.5, 17.5, 794.5, 14.5);
    bar.lineTo(794.5, 0.5);
    p.setPen(QPen(kBarOutline, 1));
    p.setBrush(kBarFill);
    p.drawPath(bar);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(695, 0, 100, 1, kBorder);
    p.fillRect(725, 1, 1, 16, kBarDivider);
    p.fillRect(755, 1, 1, 16, kBarDivider);
    p.fillRect(704, 10, 13, 2, kGlyph);
    p.setPen(QColor(153, 153, 153));
    p.setBrush(Qt::NoBrush);
    p.drawRect(735, 4, 9, 8);
    p.fillRect(735, 4, 10, 2, QColor(153, 153, 153));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGlyph, 1.6));
    p.drawLine(QPointF(771, 5), QPointF(779, 13));
    p.drawLine(QPointF(779, 5), QPointF(771, 13));
}

enum class Look { Normal, Hover, Pressed };

void DrawTranslateButton(QPainter &p, Look look, const QString &caption) {
    const QRectF face(0, 0, 90, 25);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (look) {
        case Look::Normal: {
            QLinearGradient shade(0, 0, 0, 25);
            shade.setColorAt(0, QColor(255, 255, 255));
            shade.setColorAt(1, QColor(206, 226, 246));
            p.fillRect(face, shade);
            p.setPen(QColor(92, 140, 196));
            break;
        }
        case Look::Hover: {
            p.fillRect(QRectF(0, 0, 90, 12), QColor(226, 242, 255));
            QLinearGradient shade(0, 12, 0, 25);
            shade.setColorAt(0, QColor(168, 214, 250));
            shade.setColorAt(1, QColor(196, 230, 255));
            p.fillRect(QRectF(0, 12, 90, 13), shade);
            p.setPen(QColor(44, 110, 190));
            break;
        }
        case Look::Pressed:
            p.fillRect(face, QColor(226, 226, 226));
            p.fillRect(QRectF(1, 1, 3, 23), QColor(196, 196, 196));
            p.setPen(QColor(150, 150, 150));
            break;
    }
    p.drawRect(QRect(0, 0, 89, 24));
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(16, 16, 16));
    p.setFont(SkinFont(13, true));
    const QPointF offset = look == Look::Pressed ? QPointF(1, 1) : QPointF(0, 0);
    p.drawText(face.translated(offset), Qt::AlignCenter, caption);
}

// The caption cells repeat the top border in their top row and the bar's edge at their left.
void DrawCaptionCell(QPainter &p, QSize size, const std::function<void(QPainter &)> &fill,
                     const QColor &leftEdge) {
    fill(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, size.width(), 1, kBorder);
    p.fillRect(0, 1, 1, size.height() - 1, leftEdge);
}

void DrawMinimise(QPainter &p, Look look) {
    DrawCaptionCell(
        p, QSize(31, 18),
        [look](QPainter &q) {
            if (look == Look::Hover) {
                q.fillRect(0, 0, 31, 9, QColor(244, 249, 254));
                QLinearGradient gloss(0, 9, 0, 18);
                gloss.setColorAt(0, QColor(176, 216, 248));
                gloss.setColorAt(1, QColor(206, 232, 252));
                q.fillRect(0, 9, 31, 9, gloss);
            } else {
                QLinearGradient shade(0, 0, 0, 18);
                shade.setColorAt(0, QColor(62, 120, 190));
                shade.setColorAt(1, QColor(160, 202, 240));
                q.fillRect(0, 0, 31, 18, shade);
            }
            q.fillRect(30, 1, 1, 17, kBarDivider);
            q.fillRect(9, 10, 13, 2, look == Look::Hover ? kGlyph : QColor(240, 248, 255));
        },
        kBarOutline);
}

void DrawClose(QPainter &p, Look look) {
    DrawCaptionCell(
        p, QSize(42, 19),
        [look](QPainter &q) {
            const bool hover = look == Look::Hover;
            QLinearGradient red(0, 0, 0, 19);
            red.setColorAt(0, hover ? QColor(240, 128, 112) : QColor(176, 40, 30));
            red.setColorAt(0.5, hover ? QColor(222, 78, 60) : QColor(150, 26, 20));
            red.setColorAt(1, hover ? QColor(200, 44, 30) : QColor(130, 18, 14));
            q.fillRect(0, 0, 42, 19, red);
            q.setRenderHint(QPainter::Antialiasing);
            q.setPen(QPen(hover ? QColor(255, 255, 255) : QColor(84, 8, 6), 2));
            q.drawLine(QPointF(17, 5), QPointF(25, 13));
            q.drawLine(QPointF(25, 5), QPointF(17, 13));
        },
        kBarDivider);
}

struct Picture {
    QString name;  // file name of the 1x picture
    QSize size;
    std::function<void(QPainter &)> draw;
};

QImage Render(const Picture &picture, int scale) {
    QImage image(picture.size * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    picture.draw(painter);
    painter.end();
    return image;
}

// One 24-bit image with an all-opaque mask. Written by hand: Qt's ICO writer leaves
// uninitialised bytes in the mask rows, so its output differs from run to run.
bool WriteIcon(const QImage &image, const QString &path) {
    const int width = image.width();
    const int height = image.height();
    const int colourRow = (width * 3 + 3) / 4 * 4;
    const int maskRow = ((width + 7) / 8 + 3) / 4 * 4;
    const quint32 bitmapBytes = 40 + quint32(height) * quint32(colourRow + maskRow);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(1);
    out << quint8(width) << quint8(height) << quint8(0) << quint8(0) << quint16(1) << quint16(24)
        << bitmapBytes << quint32(22);
    out << quint32(40) << qint32(width) << qint32(height * 2) << quint16(1) << quint16(24)
        << quint32(0) << quint32(bitmapBytes - 40) << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb rgb = image.pixel(x, y);
            out << quint8(qBlue(rgb)) << quint8(qGreen(rgb)) << quint8(qRed(rgb));
        }
        for (int pad = width * 3; pad < colourRow; ++pad) {
            out << quint8(0);
        }
    }
    for (int row = 0; row < height * maskRow; ++row) {
        out << quint8(0);
    }
    return out.status() == QDataStream::Ok;
}

bool Write(const QImage &image, const QString &path) {
    const bool jpeg = path.endsWith(u".jpg"_s);
    const bool saved =
        path.endsWith(u".ico"_s)
            ? WriteIcon(image, path)
            : (jpeg || path.endsWith(u".bmp"_s) ? image.convertToFormat(QImage::Format_RGB888)
                                                : image)
                  .save(path, nullptr, jpeg ? 95 : -1);
    if (!saved) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
    }
    return saved;
}

QString AtTwice(const QString &name) {
    return name.left(name.lastIndexOf(u'.')) + u"@2x.png"_s;
}

}  // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen <assets folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    const auto button = [](Look look, QString caption) {
        return [look, caption](QPainter &p) { DrawTranslateButton(p, look, caption); };
    };
    const QString ja2ch = u"日 -> 中"_s;
    const QString ch2ja = u"中 -> 日"_s;
    const QList<Picture> pictures = {
        {u"background.bmp"_s, kWindowSize, DrawBackground},
        {u"icon.ico"_s, QSize(48, 48), [](QPainter &p) { DrawGem(p, QRectF(0, 0, 48, 48)); }},
        {u"imgJa2Ch1.jpg"_s, QSize(90, 25), button(Look::Normal, ja2ch)},
        {u"imgJa2Ch2.jpg"_s, QSize(90, 25), button(Look::Hover, ja2ch)},
        {u"imgJa2Ch3.jpg"_s, QSize(90, 25), button(Look::Pressed, ja2ch)},
        {u"imgCh2Ja1.jpg"_s, QSize(90, 25), button(Look::Normal, ch2ja)},
        {u"imgCh2Ja2.jpg"_s, QSize(90, 25), button(Look::Hover, ch2ja)},
        {u"imgCh2Ja3.jpg"_s, QSize(90, 25), button(Look::Pressed, ch2ja)},
        {u"imgMin2.jpg"_s, QSize(31, 18), [](QPainter &p) { DrawMinimise(p, Look::Hover); }},
        {u"imgMin3.jpg"_s, QSize(31, 18), [](QPainter &p) { DrawMinimise(p, Look::Pressed); }},
        {u"imgClose2.jpg"_s, QSize(42, 19), [](QPainter &p) { DrawClose(p, Look::Hover); }},
        {u"imgClose3.jpg"_s, QSize(42, 19), [](QPainter &p) { DrawClose(p, Look::Pressed); }},
    };

    bool written = true;
    for (const Picture &picture : pictures) {
        written &= Write(Render(picture, 1), out.filePath(picture.name));
        written &= Write(Render(picture, 2), out.filePath(AtTwice(picture.name)));
    }
    // The icon theme's sizes, for the desktop's menus and launchers.
    for (const int side : {48, 256}) {
        const Picture themeIcon{u"icon-%1.png"_s.arg(side), QSize(side, side),
                                [side](QPainter &p) { DrawGem(p, QRectF(0, 0, side, side)); }};
        written &= Write(Render(themeIcon, 1), out.filePath(themeIcon.name));
    }
    return written ? 0 : 1;
}
