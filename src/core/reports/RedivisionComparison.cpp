#include "reports/RedivisionComparison.h"

#include "db/Transaction.h"
#include "engine/DivisionRun.h"
#include "reports/ChosenClassFigures.h"
#include "store/ProjectStore.h"

namespace qm::reports {

std::vector<std::string> redivideComparing(db::Connection& connection,
                                           const store::CurrentProject& project,
                                           const std::vector<int>& classes,
                                           engine::DivisionObserver& observer) {
    // The figures before are read under the re-division's own write lock, so another program
    // cannot change the classes between them and the run.
    db::Transaction transaction(connection);
    const auto before = chosenClassFigures(connection, project.fbTable, classes);
    engine::redivide(connection, project, classes, observer);
    auto lines = comparisonLines(before, chosenClassFigures(connection, project.fbTable, classes));
    transaction.commit();
    return lines;
}

}  // namespace qm::reports
