#pragma once

#include <string>
#include <vector>

namespace qm::store {

// What a change made by hand did, for the window that asked for it: a line that describes it
// (as the undo list shows it) and the classes whose figures it changed, ascending.
struct AdjustmentOutcome {
    std::string description;
    std::vector<int> classes;
};

}  // namespace qm::store
