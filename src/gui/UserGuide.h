#pragma once

class QWidget;

namespace qm::gui {

// 帮助 → 用户手册: opens the user guide with the desktop's browser, the HTML an install keeps or
// the one a build folder renders; a desktop without a browser gets the guide in a window of the
// program. Says so when there is no guide.
void openUserGuide(QWidget* parent);

}  // namespace qm::gui
