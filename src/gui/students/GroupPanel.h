#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "store/ProjectStore.h"
#include "store/StudentGroup.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qm::gui {

struct ClassChange;
class Workspace;

// The teacher's groups (约束) of a project, beside the student list: each 分开 or 同班 group with
// its students, their names and present classes, and whether the present classes keep it (red
// when they do not, with the reason). New groups come from the students chosen in the list
// (设为分开, 设为同班) or from a file of groups (从文件添加…); a chosen group can be deleted. A
// group the core refuses is told with its reason and nothing is stored. The list follows every
// change of the project's classes.
class GroupPanel : public QWidget {
    Q_OBJECT

  public:
    // The student numbers chosen in the list beside the panel.
    using ChosenNumbers = std::function<std::vector<int>()>;

    GroupPanel(Workspace& workspace, store::CurrentProject project, ChosenNumbers chosen,
               QWidget* parent = nullptr);

    // Reads the groups again.
    void reload();
    // 设为分开 / 设为同班 of the chosen students; true when the group was stored.
    bool addChosenGroup(store::GroupKind kind);
    // 从文件添加…: the groups of a file, all or none; true when they were stored.
    bool addGroupsFromFile(const QString& path);
    // 删除 of the chosen group, after a question; true when it was deleted.
    bool deleteChosenGroup();

  private:
    void followClassChange(const ClassChange& change);
    void chooseFile();
    // Chooses the groups with these numbers in the list and tells which of them the present
    // classes do not keep; says what was added also when all are kept, if asked to.
    void tellUnkept(const std::vector<int>& ids, const QString& added, bool alwaysTell);

    Workspace& workspace_;
    store::CurrentProject project_;
    ChosenNumbers chosen_;
    QLabel* summary_;
    // One item per group ("分开组 3", and whether it is kept), one child per student.
    QTreeWidget* groupList_;
    QPushButton* apartButton_;
    QPushButton* togetherButton_;
    QPushButton* fileButton_;
    QPushButton* deleteButton_;
};

}  // namespace qm::gui
