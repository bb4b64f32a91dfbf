#pragma once

#include <QDialog>

#include "reports/VersionComparison.h"

class QLabel;
class QTabWidget;
class QTableWidget;

namespace qm::gui {

// 方案对比: two saved versions side by side. One page shows each class's head counts, averages
// and deviations in both versions, one grid above the other with their columns aligned and
// scrolled together, the figures that differ in bold (deviations beyond one point in red, as in
// 班级信息); another the balance figures (均衡度) of both; a third lists the students whose class
// differs between the two.
class VersionComparisonDialog : public QDialog {
    Q_OBJECT

  public:
    VersionComparisonDialog(const reports::VersionComparison& comparison,
                            QWidget* parent = nullptr);

    QSize sizeHint() const override { return {960, 560}; }

  private:
    QWidget* buildFiguresPage(const reports::VersionComparison& comparison);
    QWidget* buildBalancePage(const reports::VersionComparison& comparison);
    QWidget* buildMovedPage(const reports::VersionComparison& comparison);

    QLabel* headline_;
    QTabWidget* pages_;
    // 班级信息 of the first and of the second version.
    QTableWidget* firstFigures_ = nullptr;
    QTableWidget* secondFigures_ = nullptr;
    // 均衡度 of both versions: what is measured, then the first's and the second's figure.
    QTableWidget* balance_ = nullptr;
    // 学号, 姓名 and the class in each version of every student whose class differs.
    QTableWidget* movedStudents_ = nullptr;
};

}  // namespace qm::gui
