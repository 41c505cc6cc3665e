#include "ui/ImageControl.h"

#include <QMouseEvent>

namespace quorvane {

ImageControl::ImageControl(const QString &name, QRect geometry, QWidget *parent,
                           QAccessible::Role role)
    : QLabel(parent), mRole(role) {
    setObjectName(name);
    setGeometry(geometry);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMouseTracking(true);
}

void ImageControl::setPicture(const QPixmap &picture) {
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
}

void ImageControl::clearPicture() {
    clear();
}

void ImageControl::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
    emit mouseMoved();
}

void ImageControl::mousePressEvent(QMouseEvent *event) {
    event->accept();
    emit mousePressed();
}

void ImageControl::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    emit mouseReleased();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace quorvane
