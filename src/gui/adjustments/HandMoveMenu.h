#pragma once

#include <functional>
#include <vector>

#include "gui/adjustments/StudentDrag.h"

class QMenu;
class QWidget;

namespace qm::gui {

class Workspace;

// The moves by hand that the lists of students offer for the students chosen in them. Before a
// move, mayChange runs and can stop it (the student list first stores a row being edited).
using MayChange = std::function<bool()>;

// 调到: the chosen student into the class; one student at a time.
void moveChosenStudent(QWidget* parent, Workspace& workspace,
                       const std::vector<ChosenStudent>& chosen, int classId,
                       const MayChange& mayChange);
// 对调: the classes of the two chosen students exchanged.
void swapChosenStudents(QWidget* parent, Workspace& workspace,
                        const std::vector<ChosenStudent>& chosen, const MayChange& mayChange);

// Fills a menu with one entry per class of the current project, "3班", which moves the one
// chosen student there; the student's own class is not offered. With no student or several
// chosen, the menu says to choose one.
void fillMoveToMenu(QMenu& menu, QWidget* parent, Workspace& workspace,
                    const std::vector<ChosenStudent>& chosen, const MayChange& mayChange);

// Adds "调到…" (the menu above, for one chosen student) and "对调" (for two) to a context menu.
void addHandMoveActions(QMenu& menu, QWidget* parent, Workspace& workspace,
                        const std::vector<ChosenStudent>& chosen, const MayChange& mayChange);

}  // namespace qm::gui
