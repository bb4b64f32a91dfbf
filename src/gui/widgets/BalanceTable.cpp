#include "gui/widgets/BalanceTable.h"

#include <QStringList>
#include <QTableWidget>

#include "common/ColumnWidths.h"

namespace qm::gui {

void showBalanceRows(QTableWidget& table, const reports::TextRows& rows, int boldColumn) {
    if (rows.empty()) {
        table.clear();
        return;
    }
    const int columns = static_cast<int>(rows.front().size());
    table.setUpdatesEnabled(false);
    table.clear();
    table.setColumnCount(columns);
    table.setRowCount(static_cast<int>(rows.size()) - 1);
    QStringList headings;
    for (const std::string& heading : rows.front()) {
        headings << QString::fromStdString(heading);
    }
    table.setHorizontalHeaderLabels(headings);
    QFont bold = table.font();
    bold.setBold(true);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size() && c < std::size_t(columns); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            if (c > 0) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (static_cast<int>(c) == boldColumn) {
                item->setFont(bold);
            }
            table.setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
        }
    }
    table.resizeColumnsToContents();
    for (int c = 1; c < columns; ++c) {
        table.setColumnWidth(c, columnWidth(table.columnWidth(c), 0, 90));
    }
    table.setUpdatesEnabled(true);
}

}  // namespace qm::gui
