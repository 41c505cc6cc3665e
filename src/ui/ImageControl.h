#pragma once

#include <QAccessible>
#include <QLabel>
#include <QPixmap>

namespace quorvane {

// A frameless picture control: draws its picture unscaled at its top-left corner, takes the
// picture's size, and reports the mouse events over it. Without a picture it draws nothing but
// still takes the mouse events over its rectangle. A control the user presses has a role for
// screen readers, a button or a link; a hidden holder of pictures has none.
class ImageControl : public QLabel {
    Q_OBJECT

public:
    ImageControl(const QString &name, QRect geometry, QWidget *parent,
                 QAccessible::Role role = QAccessible::NoRole);

    QAccessible::Role accessibleRole() const { return mRole; }

    void setPicture(const QPixmap &picture);
    void clearPicture();

signals:
    void mouseMoved();
    void mousePressed();
    void mouseReleased();
    // A left press and release, both over the control.
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QAccessible::Role mRole;
};

}  // namespace quorvane
