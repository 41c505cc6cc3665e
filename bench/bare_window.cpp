// The yardstick for Quorvane's start-up: a bare frameless 800 x 576 Qt window, filled with the
// colour that Quorvane's skin has at the place the benchmark watches.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(800, 576);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(212, 236, 254));
    window.setPalette(palette);
    window.show();
    return app.exec();
}
