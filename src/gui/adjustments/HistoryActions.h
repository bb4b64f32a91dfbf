#pragma once

#include <QObject>

#include "store/StepHistory.h"

class QAction;
class QWidget;

namespace qm::gui {

class Workspace;

// The tool bar's 撤销 and 重做 (Ctrl+Z, Ctrl+Y) of the current project's moves, swaps, divisions,
// re-divisions and restores. Each is enabled when the project's history has a step for it, and
// names that step in its tooltip; the steps are kept in the project, so they survive a restart.
// Both follow every change of classes, a change of the current project and a division under way,
// during which they are disabled; another program's change is noticed when the window is
// activated and before a step is taken, which is then the step the tooltip named, or the teacher
// is asked about the one it really is.
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
    store::HistoryState shown_;  // the steps the tooltips name
};

}  // namespace qm::gui
