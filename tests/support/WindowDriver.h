#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

// Clicks and modal boxes for tests of the real window, driven through real mouse events.
namespace window_driver {

template <typename T = QWidget>
T *Control(QWidget *window, const QString &name) {
    T *found = window->findChild<T *>(name);
    if (!found) {
        qFatal("no control %s", qPrintable(name));
    }
    return found;
}

// Shows the window and waits until it is on screen and active.
[[nodiscard]] inline bool ShowActive(QWidget *window) {
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) {
        return false;
    }
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

inline void Click(QWidget *window, const QString &name) {
    QTest::mouseClick(Control(window, name), Qt::LeftButton);
}

// Records every change of a widget's base colour (its ground), with when it happened.
class PaletteChangeRecorder : public QObject {
public:
    explicit PaletteChangeRecorder(QWidget *widget) : mWidget(widget) {
        mClock.start();
        widget->installEventFilter(this);
    }
    QList<std::pair<qint64, QColor>> changes;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::PaletteChange) {
            changes.append({mClock.elapsed(), mWidget->palette().color(QPalette::Base)});
        }
        return false;
    }

private:
    QWidget *mWidget;
    QElapsedTimer mClock;
};

struct ModalBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Runs `action`; closes with OK the message box that it shows, and describes it.
inline ModalBox AnswerModalBox(const std::function<void()> &action) {
    ModalBox seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll.start();
    action();
    return seen;
}

}  // namespace window_driver
