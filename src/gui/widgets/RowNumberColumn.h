#pragma once

class QTableWidget;

namespace qm::gui {

// Keeps the first column of a grid, which holds the row numbers, wide enough for the largest
// number as rows come and go: 12000 rows show "12000", not "1…". It never gets narrower than it
// is when this is called.
void keepRowNumbersVisible(QTableWidget& grid);

}  // namespace qm::gui
