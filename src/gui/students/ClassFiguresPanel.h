#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "reports/ClassStatistics.h"
#include "store/ProjectStore.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;

namespace qm::gui {

struct ClassChange;
class Workspace;

// The figures of a few classes beside the student list: boys, girls and head count, each
// subject's and the total's class average with its deviation from the average of all students
// (red where the statistics show red), and per subject the head count of each score band. It
// shows the classes the last change of classes touched, or those the teacher picks, and computes
// them again at once whenever the project's classes change.
class ClassFiguresPanel : public QWidget {
    Q_OBJECT

  public:
    ClassFiguresPanel(Workspace& workspace, store::CurrentProject project,
                      QWidget* parent = nullptr);

    // Shows the figures of these classes (of every class when empty) under the title.
    void showClasses(std::vector<int> classes, const QString& title);

  private:
    void followChange(const ClassChange& change);
    void compute();
    void showFigures();
    void showBands();

    Workspace& workspace_;
    store::CurrentProject project_;
    std::vector<int> classes_;
    std::optional<reports::ClassStatistics> statistics_;
    QLabel* title_;
    QTabWidget* pages_;
    // One column per class and one for all students; one row per head count and per average.
    QTableWidget* figures_;
    QComboBox* subjectBox_;
    // One column per class; one row per score band of the chosen subject that holds students.
    QTableWidget* bands_;
};

}  // namespace qm::gui
