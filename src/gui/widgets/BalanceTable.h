#pragma once

#include "reports/TextTable.h"

class QTableWidget;

namespace qm::gui {

// Shows text rows, headings first, in the grid: the figures right-aligned, the cells of
// boldColumn (none when negative) in bold, each column at least wide enough for a figure.
void showBalanceRows(QTableWidget& table, const reports::TextRows& rows, int boldColumn);

}  // namespace qm::gui
