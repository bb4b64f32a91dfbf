#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "engine/division/ClassTally.h"
#include "engine/division/PassStudent.h"

namespace qm::engine {

// The class a student joins: among the classes with the fewest students of the student's sex,
// the one in which the fewest students share the student's score bands (summed over the nine
// subjects); on a tie the earlier class. Classes that already hold the student's pinyin are
// passed over unless every class holds it. Returns the index into classes, which must not be
// empty; changes nothing.
int findMixClass(std::string_view sex, const std::vector<ClassTally>& classes,
                 const PassStudent& student);

// The same choice among the classes marked allowed only (one mark per class), as if the others
// did not exist; nothing when no class is allowed.
std::optional<int> findMixClassAmong(std::string_view sex, const std::vector<ClassTally>& classes,
                                     const PassStudent& student, const std::vector<bool>& allowed);

}  // namespace qm::engine
