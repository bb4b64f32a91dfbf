#pragma once

#include <array>
#include <optional>
#include <string>

#include "engine/common/Subject.h"
#include "engine/division/BandTargets.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// What fine tuning balances toward: the cohort's averages and, per subject and band, the ideal
// head count of one class. Both are taken over the rows of the current student table that are
// placed (type 1 or more).
struct CohortFigures {
    // The nine subjects in table order, then the total; rounded halves to even.
    std::array<int, kQuantityCount> averages{};
    BandTargets targets;
};

// Reads the figures of the table for a run with classCount classes; nothing when no row is
// placed yet. A band's target is its placed head count divided by the class count, rounded
// halves to even; bands are the scores' ten-point bands.
std::optional<CohortFigures> loadCohortFigures(db::Connection& connection, const std::string& table,
                                               int classCount);

}  // namespace qm::engine
