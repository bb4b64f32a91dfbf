#pragma once

#include <QDialog>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace qm::gui {

class Workspace;

// 方案: the current project's saved versions of its classes, oldest first, with the time each was
// saved and the number of its students. Two chosen versions are shown side by side with 对比; one
// chosen version is restored with 恢复, after a question, as a step that 撤销 takes back.
class VersionsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit VersionsDialog(Workspace& workspace, QWidget* parent = nullptr);

    // The numbers of the chosen versions, in the list's order.
    std::vector<int> chosenVersions() const;

    // 对比 of the two chosen versions; 恢复 of the one chosen.
    void compareChosen();
    void restoreChosen();

  private:
    void fill();
    void showChoice();

    Workspace& workspace_;
    QLabel* hint_;
    QTableWidget* versionList_;
    QPushButton* compareButton_;
    QPushButton* restoreButton_;
};

}  // namespace qm::gui
