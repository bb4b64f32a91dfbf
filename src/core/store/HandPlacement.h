#pragma once

#include <string>

#include "store/AdjustmentOutcome.h"
#include "store/GroupCheck.h"

namespace qm::db {
class Connection;
}

namespace qm::store {

struct CurrentProject;

// Puts students into new classes by hand, as one unit that can be undone under the
// description: refused with "不能" + description and the reasons when a group of these
// students would be broken. Placement codes stay as they are. The outcome names the classes
// the students left and joined.
AdjustmentOutcome placeByHand(db::Connection& connection, const CurrentProject& project,
                              const ClassOfStudent& newClasses, const std::string& description);

}  // namespace qm::store
