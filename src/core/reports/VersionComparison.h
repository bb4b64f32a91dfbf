#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/balance/BalanceFigures.h"
#include "reports/ClassStatistics.h"
#include "store/ProjectStore.h"
#include "store/SavedVersions.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

// A student whose class differs between two saved versions.
struct MovedStudent {
    int studentId = 0;
    std::string name;
    int firstClass = 0;
    int secondClass = 0;
};

// Two saved versions side by side (方案对比): the students of the project whose class differs
// between them, by student number, and the class statistics and balance figures (均衡度) of each
// version.
struct VersionComparison {
    store::SavedVersion first;
    store::SavedVersion second;
    std::vector<MovedStudent> moved;
    ClassStatistics firstStatistics = emptyClassStatistics();
    ClassStatistics secondStatistics = emptyClassStatistics();
    // Nothing for a version in which no student of the project sits in one of its classes.
    std::optional<engine::BalanceFigures> firstBalance;
    std::optional<engine::BalanceFigures> secondBalance;
};

// Compares two saved versions; UserError when the project has no version of either number. The
// figures of a version are those of the project's students it holds (students added since are
// left out), taken in a temporary table of the connection: the database is only read, so a
// comparison needs no write lock and works while another program writes.
VersionComparison compareVersions(db::Connection& connection, const store::CurrentProject& project,
                                  int first, int second);

}  // namespace qm::reports
