#include "gui/widgets/RowNumberColumn.h"

#include <QAbstractItemModel>
#include <QTableWidget>

#include "common/ColumnWidths.h"

namespace qm::gui {

void keepRowNumbersVisible(QTableWidget& grid) {
    const int narrowest = grid.columnWidth(0);
    auto fit = [&grid, narrowest] {
        constexpr int kPadding = 12;  // the cell's margins and grid line
        const int digits = grid.fontMetrics().horizontalAdvance(QString::number(grid.rowCount()));
        grid.setColumnWidth(0, columnWidth(digits, kPadding, narrowest));
    };
    QAbstractItemModel* model = grid.model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &grid, fit);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, &grid, fit);
    // Not on a model reset: the grid's model resets itself while the grid is being destroyed.
    fit();
}

}  // namespace qm::gui
