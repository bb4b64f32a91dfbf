#pragma once

#include <string>
#include <vector>

namespace qm::db {
class Connection;
}
namespace qm::engine {
class DivisionObserver;
}
namespace qm::store {
struct CurrentProject;
}

namespace qm::reports {

// Re-divides the chosen classes (engine::redivide) and gives the lines that set the 总分 figures
// of these classes before and after it side by side (comparisonLines), which the desktop's
// console and the command line show after the run's own lines. A refused, failed or cancelled
// re-division raises as engine::redivide does, and gives no lines.
std::vector<std::string> redivideComparing(db::Connection& connection,
                                           const store::CurrentProject& project,
                                           const std::vector<int>& classes,
                                           engine::DivisionObserver& observer);

}  // namespace qm::reports
