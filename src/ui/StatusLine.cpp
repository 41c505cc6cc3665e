#include "ui/StatusLine.h"

#include <QAccessible>

namespace quorvane {

StatusLine::StatusLine(const QString &name, QRect geometry, const QColor &ground, QWidget *parent)
    : QTextEdit(parent) {
    setObjectName(name);
    setGeometry(geometry);
    setAcceptRichText(false);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(1);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, ground);
    setPalette(colours);
    setAccessibleDescription(QStringLiteral("状态"));
}

// The name's change is what tells a screen reader to speak the line.
void StatusLine::setLine(const QString &text) {
    setPlainText(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

}  // namespace quorvane
