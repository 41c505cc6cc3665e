#include <QDir>
#include <QImage>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QImage Picture(const QString &name) {
    QImage image(QDir(QStringLiteral(QUORVANE_ASSETS_DIR)).filePath(name));
    if (image.isNull()) {
        qFatal("cannot read %s", qPrintable(name));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

const QSet<QPoint> kCornerPixels = {QPoint(0, 0),   QPoint(1, 0),   QPoint(0, 1),
                                    QPoint(798, 0), QPoint(799, 0), QPoint(799, 1)};

}  // namespace

class TestSkinPictures : public QObject {
    Q_OBJECT

private slots:
    void picturesHaveTheirSizes_data();
    void picturesHaveTheirSizes();
    void onlyTheBackgroundCornersArePureBlue_data();
    void onlyTheBackgroundCornersArePureBlue();
    void backgroundHasItsFrameAndGradient_data();
    void backgroundHasItsFrameAndGradient();
};

void TestSkinPictures::picturesHaveTheirSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const QList<std::pair<QString, QSize>> pictures = {
        {u"background.bmp"_s, {800, 576}}, {u"icon.ico"_s, {48, 48}},
        {u"imgJa2Ch1.jpg"_s, {90, 25}},    {u"imgJa2Ch2.jpg"_s, {90, 25}},
        {u"imgJa2Ch3.jpg"_s, {90, 25}},    {u"imgCh2Ja1.jpg"_s, {90, 25}},
        {u"imgCh2Ja2.jpg"_s, {90, 25}},    {u"imgCh2Ja3.jpg"_s, {90, 25}},
        {u"imgMin2.jpg"_s, {31, 18}},      {u"imgMin3.jpg"_s, {31, 18}},
        {u"imgClose2.jpg"_s, {42, 19}},    {u"imgClose3.jpg"_s, {42, 19}},
    };
    for (const auto &[name, size] : pictures) {
        QTest::newRow(qPrintable(name)) << name << size;
        const QString twice = name.left(name.lastIndexOf(u'.')) + u"@2x.png"_s;
        QTest::newRow(qPrintable(twice)) << twice << size * 2;
    }
}

void TestSkinPictures::picturesHaveTheirSizes() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QCOMPARE(Picture(name).size(), size);
}

void TestSkinPictures::onlyTheBackgroundCornersArePureBlue_data() {
    picturesHaveTheirSizes_data();
}

// Checked on the written files, so that compression artefacts count too. A 2x drawing's pixels
// are counted at their place in the 1x picture.
void TestSkinPictures::onlyTheBackgroundCornersArePureBlue() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image = Picture(name);
    const int scale = image.width() / size.width() * (name.contains(u"@2x"_s) ? 2 : 1);
    QSet<QPoint> blue;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(0, 0, 255)) {
                blue.insert(QPoint(x / scale, y / scale));
            }
        }
    }
    QCOMPARE(blue, name.startsWith(u"background"_s) ? kCornerPixels : QSet<QPoint>());
}

void TestSkinPictures::backgroundHasItsFrameAndGradient_data() {
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");
    const QColor border(37, 102, 157);
    const QColor light(223, 239, 252);
    QTest::newRow("top-left rounding") << QPoint(1, 1) << border;
    QTest::newRow("top-right rounding") << QPoint(798, 1) << border;
    QTest::newRow("bottom-left corner square") << QPoint(0, 575) << border;
    QTest::newRow("bottom-right corner square") << QPoint(799, 575) << border;
    QTest::newRow("top border") << QPoint(400, 0) << border;
    QTest::newRow("left border") << QPoint(0, 300) << border;
    QTest::newRow("white row under the top") << QPoint(400, 1) << QColor(Qt::white);
    QTest::newRow("left light line") << QPoint(1, 300) << light;
    QTest::newRow("right light line") << QPoint(798, 300) << light;
    QTest::newRow("bottom light line") << QPoint(400, 574) << light;
    const QList<std::pair<int, QColor>> rows = {
        {2, {231, 244, 255}},   {20, {212, 236, 254}},  {60, {195, 227, 252}},
        {100, {186, 221, 251}}, {112, {184, 219, 250}}, {121, {182, 218, 250}},
        {200, {188, 221, 252}}, {300, {200, 227, 253}}, {400, {212, 234, 254}},
        {500, {223, 240, 255}}, {573, {228, 243, 255}},
    };
    for (const auto &[row, colour] : rows) {
        QTest::newRow(qPrintable(u"gradient row %1"_s.arg(row))) << QPoint(400, row) << colour;
        QTest::newRow(qPrintable(u"gradient row %1, left"_s.arg(row))) << QPoint(5, row) << colour;
    }
}

void TestSkinPictures::backgroundHasItsFrameAndGradient() {
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);
    QCOMPARE(Picture(u"background.bmp"_s).pixelColor(pixel), colour);
}

QTEST_GUILESS_MAIN(TestSkinPictures)
#include "tst_skinpictures.moc"
