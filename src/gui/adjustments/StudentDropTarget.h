#pragma once

#include <QObject>
#include <QPoint>
#include <functional>
#include <optional>
#include <vector>

#include "gui/adjustments/StudentDrag.h"

class QAbstractItemView;

namespace qm::gui {

// Lets dragged students be dropped onto a view of classes or students: a drop onto a place of
// the view that stands for a class (a class of the class tree, a student's row) hands the
// students and that class on, once the drop has ended. A place without a class, class 0 (the
// students not placed) and the class every dragged student sits in already refuse the drop.
class StudentDropTarget : public QObject {
    Q_OBJECT

  public:
    // The class a place of the view's viewport stands for; nothing for none.
    using ClassAt = std::function<std::optional<int>(const QPoint& place)>;
    using Dropped = std::function<void(const std::vector<ChosenStudent>& students, int classId)>;

    StudentDropTarget(QAbstractItemView& view, ClassAt classAt, Dropped dropped);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The class a drop of these students at this place would move them to.
    std::optional<int> targetOf(const std::vector<ChosenStudent>& students,
                                const QPoint& place) const;

    ClassAt classAt_;
    Dropped dropped_;
};

}  // namespace qm::gui
