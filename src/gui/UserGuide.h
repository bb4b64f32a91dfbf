#pragma once

class QWidget;

namespace qm::gui {

// 帮助 → 用户手册: opens the user guide with the desktop's browser, the HTML an install keeps or
// the one a build folder renders. Says so when there is no guide, or nothing to open it with.
void openUserGuide(QWidget* parent);

}  // namespace qm::gui
