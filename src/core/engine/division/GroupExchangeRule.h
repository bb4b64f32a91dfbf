#pragma once

#include "engine/division/ClassTally.h"
#include "engine/division/PassStudent.h"

namespace qm::engine {

// Whether exchanging student a (now in classOfA) with student b (now in classOfB) keeps the
// teacher's groups: neither belongs to a 同班 group (one member alone would leave it), and
// neither joins a class that holds another student of one of its 分开 groups. The rule every
// exchange of the fine tuning obeys (深度优化 keeps the groups through its own exchange rules);
// it reads the tallies' counts, so its cost does not grow with the class size.
bool exchangeKeepsGroups(const ClassTally& classOfA, const PassStudent& a,
                         const ClassTally& classOfB, const PassStudent& b);

}  // namespace qm::engine
