#pragma once

#include <cstdint>
#include <optional>

class QWidget;

namespace qm::gui {

class Workspace;

// The changes of classes a teacher makes by hand, for every window that offers them. Each works
// on the current project as one unit of the core, which checks it: a refusal (a move that would
// break a group, a step that can no longer be undone) is shown with the core's reason and changes
// nothing. A change that is made is announced (Workspace::classChanges), so that every window
// showing classes follows it. While a division runs, each is refused with a message. True when
// the change was made.

// 调到: moves a student into another class.
bool moveStudentByHand(QWidget* parent, Workspace& workspace, int studentId, int classId);
// 对调: exchanges the classes of two students.
bool swapStudentsByHand(QWidget* parent, Workspace& workspace, int firstId, int secondId);
// 撤销 and 重做 of the project's newest step, or of the step undone last. `named` is the number of
// the step the window named; when another program changed the steps since, the teacher is asked
// about the step that would really be taken, and the core refuses a step that changes again
// before it is taken. A step that would break groups set later names them and lets the teacher
// take it all the same (the groups kept for the next division), delete the groups and take it,
// or leave it.
bool undoLastStep(QWidget* parent, Workspace& workspace, std::optional<std::int64_t> named);
bool redoUndoneStep(QWidget* parent, Workspace& workspace, std::optional<std::int64_t> named);
// 恢复: puts the students back into the classes of a saved version.
bool restoreSavedVersion(QWidget* parent, Workspace& workspace, int number);

// Refuses, with a message, work that changes the database while a division runs (it would wait
// for the division's end); true when no division runs.
bool mayChangeWhileDividing(QWidget* parent, const Workspace& workspace);

}  // namespace qm::gui
