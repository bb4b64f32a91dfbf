#pragma once

#include <QDialog>
#include <vector>

#include "reports/ClassList.h"
#include "reports/ClassListPages.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm::gui {

// What goes on the printed class lists, asked before printing or writing a PDF: the school's
// name, the classes (all ticked at first) and the score columns beside 学号, 姓名 and 性别. The
// school and the score columns are remembered for the next time. The button that goes on names
// what follows ("打印预览…", "导出PDF…"); it refuses while no class is ticked.
class ClassListDialog : public QDialog {
    Q_OBJECT

  public:
    ClassListDialog(const std::vector<reports::ClassEntry>& classes, const QString& goOnCaption,
                    QWidget* parent = nullptr);

    // The choice as it stands; the classes empty when every class is ticked.
    reports::ClassListChoice choice() const;

    // One box per score column, in the order of reports::classListScores().
    const std::vector<QCheckBox*>& scoreBoxes() const { return scoreBoxes_; }

    void accept() override;

  private:
    void tickAllClasses(bool ticked);
    std::vector<int> tickedClasses() const;

    QLineEdit* schoolEdit_;
    QListWidget* classList_;
    std::vector<QCheckBox*> scoreBoxes_;
    QPushButton* goOnButton_;
};

}  // namespace qm::gui
