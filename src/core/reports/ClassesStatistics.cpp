#include "reports/ClassesStatistics.h"

#include <algorithm>

namespace qm::reports {

namespace {

// The grid with its title row and the rows whose class name is one of the names (and its last
// row when keepLast).
StatGrid rowsOf(const StatGrid& grid, const std::vector<std::string>& names, bool keepLast) {
    StatGrid kept(grid.name(), grid.columnCount());
    for (std::size_t c = 0; c < grid.columnCount(); ++c) {
        kept.cell(0, c) = grid.cell(0, c);
    }
    for (std::size_t r = 1; r < grid.rowCount(); ++r) {
        const bool named =
            std::find(names.begin(), names.end(), grid.text(r, kClassNameColumn)) != names.end();
        if (named || (keepLast && r + 1 == grid.rowCount())) {
            const std::size_t row = kept.addRow();
            for (std::size_t c = 0; c < grid.columnCount(); ++c) {
                kept.cell(row, c) = grid.cell(r, c);
            }
        }
    }
    return kept;
}

}  // namespace

ClassStatistics statisticsOfClasses(db::Connection& connection, const std::string& table,
                                    const std::vector<int>& classIds) {
    const ClassStatistics all = computeClassStatistics(connection, table);
    std::vector<std::string> names;
    for (int classId : classIds) {
        names.push_back(className(classId));
    }
    ClassStatistics some{.classInfo = rowsOf(all.classInfo, names, true),
                         .bands = {},
                         .categories = rowsOf(all.categories, names, false),
                         .classes = all.classes,
                         .redivisionClasses = all.redivisionClasses};
    for (const StatGrid& grid : all.bands) {
        some.bands.push_back(rowsOf(grid, names, false));
    }
    return some;
}

}  // namespace qm::reports
