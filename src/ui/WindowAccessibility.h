#pragma once

namespace quorvane {

// What a screen reader sees of the window: the picture controls as buttons and links with a press
// action, the status line as a status bar, and no hidden picture holders. Installs Qt's
// accessibility factory for them; repeated calls do nothing.
void InstallWindowAccessibility();

}  // namespace quorvane
