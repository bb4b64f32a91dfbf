#pragma once

class QTableWidget;

namespace qm::reports {
class StatGrid;
}

namespace qm::gui {

// Sets up a grid of figures: no row headings, read-only, whole rows selected, one line a cell.
void prepareReadOnlyGrid(QTableWidget& view);

// Sets up a grid of the class statistics: the narrow empty first column, the class column shaded
// like a fixed column, no row headings, read-only, whole rows selected.
void prepareStatGridView(QTableWidget& view);

// Shows a statistics grid: its row 0 as the column headings, its other rows as the rows, numbers
// right-aligned, deviations beyond one point in red.
void showStatGrid(QTableWidget& view, const reports::StatGrid& grid);

}  // namespace qm::gui
