#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <vector>

namespace qm::gui {

// A change of the classes of a project: which students sit in which class, or their figures.
struct ClassChange {
    std::string fbTable;       // the project's student table
    std::vector<int> classes;  // the classes it touched, ascending; empty when it may touch all
    QString description;       // what was done, as the undo list names it; may be empty
    const QObject* shownBy = nullptr;  // a window that shows the change already
};

// The one place that announces "the classes of this project changed": every change of classes
// (a move, a swap, an undo or redo, a division, a re-division, the restore of a saved version,
// a student edited in the list) is announced here, and every window that shows classes follows
// it. It also tells whether a division is under way, during which nothing else may change them.
class ClassChanges : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    void announce(const ClassChange& change);

    bool isDivisionRunning() const { return divisionRunning_; }
    void setDivisionRunning(bool running);

  signals:
    void changed(const qm::gui::ClassChange& change);
    void divisionRunningChanged(bool running);

  private:
    bool divisionRunning_ = false;
};

}  // namespace qm::gui
