#pragma once

#include <vector>

class QMimeData;
class QWidget;

namespace qm::gui {

// A student as the windows hand it around for a move by hand: its number and the class it sits
// in now (0: not placed).
struct ChosenStudent {
    int studentId = 0;
    int classId = 0;

    bool operator==(const ChosenStudent&) const = default;
};

// The students carried by a drag, as the windows' lists of students hand them over; a drop onto a
// class (see StudentDropTarget) moves them there.
QMimeData* studentsMimeData(const std::vector<ChosenStudent>& students);
// The students a drag carries; none when it carries something else.
std::vector<ChosenStudent> draggedStudents(const QMimeData* data);

// Starts dragging the students out of a view and returns when they are dropped or the drag is
// given up. Nothing is taken out of the view: a drop moves the students in the database, and
// every view of them follows the change.
void dragStudents(QWidget& source, const std::vector<ChosenStudent>& students);

}  // namespace qm::gui
