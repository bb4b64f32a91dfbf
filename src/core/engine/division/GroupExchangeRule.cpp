#include "engine/division/GroupExchangeRule.h"

#include <algorithm>

namespace qm::engine {

namespace {

// Whether the entering student would meet a 分开 partner in the class it joins, where the
// leaving student no longer counts.
bool meetsApartPartner(const PassStudent& entering, const ClassTally& joined,
                       const PassStudent& leaving) {
    for (int key : entering.apartKeys) {
        const bool leavingHolds = std::find(leaving.apartKeys.begin(), leaving.apartKeys.end(),
                                            key) != leaving.apartKeys.end();
        if (joined.apartCount(key) - (leavingHolds ? 1 : 0) > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool exchangeKeepsGroups(const ClassTally& classOfA, const PassStudent& a,
                         const ClassTally& classOfB, const PassStudent& b) {
    if (a.inTogetherGroup || b.inTogetherGroup) {
        return false;
    }
    return !meetsApartPartner(a, classOfB, b) && !meetsApartPartner(b, classOfA, a);
}

}  // namespace qm::engine
