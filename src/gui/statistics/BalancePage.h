#pragma once

#include <QWidget>
#include <optional>

#include "reports/BalanceReport.h"

class QLabel;
class QTableWidget;

namespace qm::gui {

// The page "均衡度" of the class statistics: how far apart the present classes are (the spread
// of class averages, the largest deviation, the spreads of band head counts, boys, girls, class
// sizes and categories) beside a random division and a serpentine draft of the same students,
// with the figures summed up in plain words above the table.
class BalancePage : public QWidget {
    Q_OBJECT

  public:
    explicit BalancePage(QWidget* parent = nullptr);

    // Shows the report; nothing means no student sits in one of the project's classes yet.
    void showReport(const std::optional<reports::BalanceReport>& report);
    // Shows why there are no figures, such as a project without classes.
    void showUnavailable(const QString& reason);
    void clear();

  private:
    void showRows(const reports::TextRows& rows);

    // The plain words, one line each.
    QLabel* summary_;
    QTableWidget* table_;
};

}  // namespace qm::gui
