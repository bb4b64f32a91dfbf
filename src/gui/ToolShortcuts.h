#pragma once

class QToolBar;

namespace qm::gui {

// Gives the ten commands of the tool bar their keys, named in their tooltips ("4.分班设置
// (Ctrl+4)"): Ctrl+1 to Ctrl+8 by their numbers, Ctrl+Shift+3 for 3.2内部数据 and Ctrl+Q for
// 退出. They work wherever the main window is active, also for commands hidden behind the tool
// bar's » on a narrow screen.
void addToolShortcuts(QToolBar& bar);

}  // namespace qm::gui
