#pragma once

#include <string>
#include <vector>

#include "reports/ClassStatistics.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

// The class statistics of some classes only: what the figures beside the student list show
// after a move or a swap. Every grid keeps its titles and the rows of these classes (boys,
// girls, head count, each average with its deviation and red mark, the band and category head
// counts); 班级信息 also keeps its last row, the averages of all students. The figures are
// those of the whole statistics: deviations are taken from the averages of all students.
ClassStatistics statisticsOfClasses(db::Connection& connection, const std::string& table,
                                    const std::vector<int>& classIds);

}  // namespace qm::reports
