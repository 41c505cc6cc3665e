// The yardsticks for Quorvane's start-up: a bare frameless 800 x 576 Qt window, filled with the
// colour that Quorvane's skin has at the place the benchmark watches. With --cjk it also shows
// one line of the window's CJK text in the font and size of the window's boxes, so that it loads
// what any window with that text must load.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "ui/WindowFont.h"

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const bool cjk = QCoreApplication::arguments().contains(QStringLiteral("--cjk"));
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(cjk ? QStringLiteral("Bare CJK") : QStringLiteral("Bare"));
    window.setFixedSize(800, 576);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(212, 236, 254));
    window.setPalette(palette);
    if (cjk) {
        auto *line = new QLabel(QStringLiteral("状态:就绪"), &window);
        line->setFont(quorvane::WindowFont());
        line->setGeometry(240, 104, 433, 17);
    }
    window.show();
    return app.exec();
}
