#pragma once

#include <functional>

class QMenu;
class QWidget;

namespace qm::gui {

class Workspace;

// 保存方案…: asks for a name and saves the class of every student of the current project under
// it; a refused name (empty, too long, used already) is told and asked for again.
void saveVersionAsked(QWidget* parent, Workspace& workspace);

// The tool bar's 方案 menu: 保存方案…, 方案对比… and 恢复方案… (the last two open the list of saved
// versions). Each first asks requireProject, which tells the teacher when no project is current.
QMenu* buildVersionMenu(QWidget& window, Workspace& workspace,
                        const std::function<bool()>& requireProject);

}  // namespace qm::gui
