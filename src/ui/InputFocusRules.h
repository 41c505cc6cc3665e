#pragma once

#include <QObject>
#include <functional>

class QTextEdit;
class QWidget;

namespace quorvane {

// The input box's rules of focus and keys: every arrival of the focus selects the whole text, so
// that typing replaces it; the press that brought the focus is swallowed, and no later one; the
// focus coming back from the box's own context menu keeps the selection it acts on; Ctrl+Return
// asks for a translation.
class InputFocusRules : public QObject {
public:
    InputFocusRules(QTextEdit *txtTop, std::function<void()> translate);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void txtTop_GotFocus(Qt::FocusReason reason);

    QTextEdit *txtTop;
    // Kept, not asked of the box: events reach the filter while the box is being destroyed.
    QWidget *mTextArea;
    std::function<void()> mTranslate;
    bool mSwallowFocusClick = false;
};

}  // namespace quorvane
