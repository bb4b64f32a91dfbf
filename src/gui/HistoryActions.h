#pragma once

#include <QObject>

class QAction;
class QWidget;

namespace qm::gui {

class Workspace;

// The tool bar's 撤销 and 重做 (Ctrl+Z, Ctrl+Y) of the current project's moves, swaps, divisions,
// re-divisions and restores. Each is enabled when the project's history has a step for it, and
// names that step in its tooltip; the steps are kept in the project, so they survive a restart.
// Both follow every change of classes, a change of the current project and a division under way,
// during which they are disabled.
class HistoryActions : public QObject {
    Q_OBJECT

  public:
    // The actions belong to the window, whose shortcuts they use.
    HistoryActions(Workspace& workspace, QWidget& window);

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }

    // Reads the project's history again and shows it.
    void showState();

  private:
    Workspace& workspace_;
    QWidget& window_;
    QAction* undo_;
    QAction* redo_;
};

}  // namespace qm::gui
