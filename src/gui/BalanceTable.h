#pragma once

#include "reports/TextTable.h"

class QTableWidget;

namespace qm::gui {

// A read-only grid of balance figures: no row numbers, whole rows chosen.
void prepareBalanceTable(QTableWidget& table);

// Shows text rows, headings first, in the grid: the figures right-aligned, the cells of
// boldColumn (none when negative) in bold, each column at least wide enough for a figure.
void showBalanceRows(QTableWidget& table, const reports::TextRows& rows, int boldColumn);

}  // namespace qm::gui
