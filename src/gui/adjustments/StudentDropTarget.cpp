#include "gui/adjustments/StudentDropTarget.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QTimer>
#include <algorithm>

namespace qm::gui {

StudentDropTarget::StudentDropTarget(QAbstractItemView& view, ClassAt classAt, Dropped dropped)
    : QObject(&view), classAt_(std::move(classAt)), dropped_(std::move(dropped)) {
    view.setAcceptDrops(true);
    view.viewport()->setAcceptDrops(true);
    view.viewport()->installEventFilter(this);
}

std::optional<int> StudentDropTarget::targetOf(const std::vector<ChosenStudent>& students,
                                               const QPoint& place) const {
    if (students.empty()) {
        return std::nullopt;
    }
    const std::optional<int> classId = classAt_(place);
    if (!classId || *classId < 1) {
        return std::nullopt;
    }
    const bool allThere =
        std::all_of(students.begin(), students.end(),
                    [&](const ChosenStudent& s) { return s.classId == *classId; });
    return allThere ? std::nullopt : classId;
}

// The view's own handling of drags is left out: it would offer to move its rows about.
bool StudentDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter: {
            // Whether a place takes the students is told by the moves over it that follow.
            auto* enter = static_cast<QDragEnterEvent*>(event);
            enter->setAccepted(!draggedStudents(enter->mimeData()).empty());
            return true;
        }
        case QEvent::DragMove: {
            auto* move = static_cast<QDragMoveEvent*>(event);
            if (targetOf(draggedStudents(move->mimeData()), move->position().toPoint())) {
                move->setDropAction(Qt::MoveAction);
                move->accept();
            } else {
                move->ignore();
            }
            return true;
        }
        case QEvent::DragLeave:
            return true;
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto students = draggedStudents(drop->mimeData());
            const auto classId = targetOf(students, drop->position().toPoint());
            if (!classId) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::MoveAction);
            drop->accept();
            // The move may ask or tell the teacher something: only once the drag is over.
            QTimer::singleShot(0, this,
                               [this, students, target = *classId] { dropped_(students, target); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace qm::gui
