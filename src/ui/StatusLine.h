#pragma once

#include <QTextEdit>

namespace quorvane {

// The one-line status box: read-only plain text on its own ground. To a screen reader it is a
// status bar whose name is its line, and every new line is announced.
class StatusLine : public QTextEdit {
    Q_OBJECT

public:
    StatusLine(const QString &name, QRect geometry, const QColor &ground, QWidget *parent);

    void setLine(const QString &text);
};

}  // namespace quorvane
