#pragma once

#include <QWidget>

namespace quorvane {

// A skinned window: a screen reader sees it without the children it hides for good.
class SkinnedWindow : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
};

// What a screen reader sees of a skinned window: its picture controls as buttons and links with a
// press action, its status line as a status bar, and no hidden picture holders. Installs Qt's
// accessibility factory for them; repeated calls do nothing.
void InstallWindowAccessibility();

}  // namespace quorvane
