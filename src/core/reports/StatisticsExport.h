#pragma once

#include <string>

#include "reports/XlsxWriter.h"

namespace qm::reports {

struct ClassStatistics;
struct BalanceReport;

inline constexpr const char* kStatisticsSheetName = "分班明细表";
inline constexpr const char* kBalanceSheetName = "均衡度";

// Writes the eleven grids of the class statistics, as they are shown, to a new .xlsx workbook at
// path, on the sheet 分班明细表, one block below the other. A grid's row r and column c (from
// column 1) go to the block's row r and sheet column c; each block but the first has its grid's
// name in column 1 of the row above it, and the next block starts three rows after the one
// empty row that follows a grid. Counts and figures are numeric cells, figures with two
// decimals, the deviations beyond 1 in red. With a balance report, a second sheet 均衡度 holds
// its table (figures as numbers) and, below it, the figures in plain words.
// The target is refused as ExportTarget says.
void exportStatistics(const ClassStatistics& statistics, const ExportTarget& target,
                      const BalanceReport* balance = nullptr);

}  // namespace qm::reports
