#include "ui/WindowAccessibility.h"

#include <QAccessibleWidget>

#include "ui/ImageControl.h"
#include "ui/StatusLine.h"

namespace quorvane {

namespace {

// A picture button or hotspot. Its press does what a left click does: the control's click
// handler, run from the event loop as a click's is, so that a long handler never holds up the
// screen reader's request.
class PictureAccessible : public QAccessibleWidget {
public:
    PictureAccessible(ImageControl *control, QAccessible::Role role)
        : QAccessibleWidget(control, role) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override {
        if (actionName == pressAction()) {
            QMetaObject::invokeMethod(static_cast<ImageControl *>(widget()), &ImageControl::clicked,
                                      Qt::QueuedConnection);
        }
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

// The status line: one line of read-only text, a status bar to the screen reader.
class StatusLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit StatusLineAccessible(StatusLine *line)
        : QAccessibleWidget(line, QAccessible::StatusBar) {}

    void *interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface *>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name || kind == QAccessible::Value
                   ? line()
                   : QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }
    // Its scroll bars and viewport are not there for the user.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    // QAccessibleTextInterface: the whole line, never a caret or a selection.
    QString text(int startOffset, int endOffset) const override {
        return line().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(line().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int *startOffset, int *endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *startOffset, int *endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QString line() const { return static_cast<StatusLine *>(widget())->toPlainText(); }
};

// The window, without the children that are hidden for good: the picture holders' container.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(ShownChildren().size()); }
    QAccessibleInterface *child(int index) const override { return ShownChildren().value(index); }
    int indexOfChild(const QAccessibleInterface *child) const override {
        return int(ShownChildren().indexOf(const_cast<QAccessibleInterface *>(child)));
    }

private:
    QList<QAccessibleInterface *> ShownChildren() const {
        QList<QAccessibleInterface *> shown;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface *child = QAccessibleWidget::child(i);
            const auto *widget = child ? qobject_cast<QWidget *>(child->object()) : nullptr;
            if (widget && !widget->isHidden()) {
                shown.append(child);
            }
        }
        return shown;
    }
};

QAccessibleInterface *WindowAccessibilityFactory(const QString &, QObject *object) {
    if (auto *window = qobject_cast<SkinnedWindow *>(object)) {
        return new WindowAccessible(window);
    }
    if (auto *control = qobject_cast<ImageControl *>(object)) {
        const QAccessible::Role role = control->accessibleRole();
        return role == QAccessible::NoRole ? nullptr : new PictureAccessible(control, role);
    }
    if (auto *line = qobject_cast<StatusLine *>(object)) {
        return new StatusLineAccessible(line);
    }
    return nullptr;
}

}  // namespace

void InstallWindowAccessibility() {
    static const bool installed = (QAccessible::installFactory(WindowAccessibilityFactory), true);
    Q_UNUSED(installed);
}

}  // namespace quorvane
