#include "ui/InputFocusRules.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextEdit>

namespace quorvane {

InputFocusRules::InputFocusRules(QTextEdit *input, std::function<void()> translate)
    : QObject(input),
      txtTop(input),
      mTextArea(input->viewport()),
      mTranslate(std::move(translate)) {
    txtTop->installEventFilter(this);
    mTextArea->installEventFilter(this);
}

// A click that brings the focus would move the caret at once: that press, delivered right after
// the focus, is swallowed.
void InputFocusRules::txtTop_GotFocus(Qt::FocusReason reason) {
    QTextCursor cursor = txtTop->textCursor();
    cursor.select(QTextCursor::Document);
    txtTop->setTextCursor(cursor);
    if (reason == Qt::MouseFocusReason) {
        mSwallowFocusClick = true;
        QMetaObject::invokeMethod(
            this, [this] { mSwallowFocusClick = false; }, Qt::QueuedConnection);
    }
}

bool InputFocusRules::eventFilter(QObject *watched, QEvent *event) {
    if (watched == txtTop && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason) {
            txtTop_GotFocus(reason);
        }
    } else if (watched == mTextArea && event->type() == QEvent::MouseButtonPress &&
               std::exchange(mSwallowFocusClick, false)) {
        return true;
    } else if (watched == txtTop && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            mTranslate();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quorvane
