#include "gui/widgets/StatGridView.h"

#include <QHeaderView>
#include <QTableWidget>

#include "reports/StatGrid.h"

namespace qm::gui {

namespace {
constexpr int kEmptyColumnWidth = 15;
constexpr int kFixedColumns = 2;
}  // namespace

void prepareReadOnlyGrid(QTableWidget& view) {
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 6);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setWordWrap(false);
}

void prepareStatGridView(QTableWidget& view) {
    prepareReadOnlyGrid(view);
    view.horizontalHeader()->setDefaultSectionSize(64);
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setMinimumSectionSize(kEmptyColumnWidth);
}

void showStatGrid(QTableWidget& view, const reports::StatGrid& grid) {
    const int columns = static_cast<int>(grid.columnCount());
    const int rows = grid.rowCount() > 0 ? static_cast<int>(grid.rowCount()) - 1 : 0;
    view.setUpdatesEnabled(false);
    view.clear();
    view.setColumnCount(columns);
    view.setRowCount(rows);
    QStringList headings;
    for (int c = 0; c < columns; ++c) {
        headings << (grid.rowCount() > 0 ? QString::fromStdString(grid.text(0, std::size_t(c)))
                                         : QString());
    }
    view.setHorizontalHeaderLabels(headings);
    const QBrush fixedBackground = view.palette().button();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const reports::StatCell& cell = grid.cell(std::size_t(r + 1), std::size_t(c));
            auto* item = new QTableWidgetItem(QString::fromStdString(cell.text));
            if (cell.number) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (cell.red) {
                item->setForeground(Qt::red);
            }
            if (c < kFixedColumns) {
                item->setBackground(fixedBackground);
            }
            view.setItem(r, c, item);
        }
    }
    view.resizeColumnsToContents();
    if (columns > 0) {
        view.setColumnWidth(0, kEmptyColumnWidth);
    }
    view.setUpdatesEnabled(true);
}

}  // namespace qm::gui
