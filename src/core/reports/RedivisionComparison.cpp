#include "reports/RedivisionComparison.h"

#include "engine/DivisionRun.h"
#include "reports/ChosenClassFigures.h"
#include "store/ProjectStore.h"

namespace qm::reports {

std::vector<std::string> redivideComparing(db::Connection& connection,
                                           const store::CurrentProject& project,
                                           const std::vector<int>& classes,
                                           engine::DivisionObserver& observer) {
    const auto before = chosenClassFigures(connection, project.fbTable, classes);
    engine::redivide(connection, project, classes, observer);
    return comparisonLines(before, chosenClassFigures(connection, project.fbTable, classes));
}

}  // namespace qm::reports
