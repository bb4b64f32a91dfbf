#include "engine/optimisation/CellSpreads.h"

#include <algorithm>

namespace qm::engine {

CellSpreads::CellSpreads(const std::vector<int>& counts, int classCount,
                         const std::vector<int>& cellTotals)
    : classesAt_(cellTotals.size()), highest_(cellTotals.size(), 0), lowest_(cellTotals.size(), 0) {
    const std::size_t cells = cellTotals.size();
    for (std::size_t z = 0; z < cells; ++z) {
        classesAt_[z].assign(static_cast<std::size_t>(cellTotals[z]) + 1, 0);
        for (int c = 0; c < classCount; ++c) {
            const int count = counts[static_cast<std::size_t>(c) * cells + z];
            ++classesAt_[z][static_cast<std::size_t>(count)];
            highest_[z] = c == 0 ? count : std::max(highest_[z], count);
            lowest_[z] = c == 0 ? count : std::min(lowest_[z], count);
        }
    }
}

int CellSpreads::spreadAfter(int cell, int falling, int rising) const {
    const int high = highest_[index(cell)];
    const int low = lowest_[index(cell)];
    // The counts move by one, so the largest and the smallest move by one at most.
    int newHigh = high;
    if (rising + 1 > high) {
        newHigh = high + 1;
    } else if (classesAt(cell, high) - (falling == high ? 1 : 0) - (rising == high ? 1 : 0) +
                   (rising + 1 == high ? 1 : 0) ==
               0) {
        newHigh = high - 1;
    }
    int newLow = low;
    if (falling - 1 < low) {
        newLow = low - 1;
    } else if (classesAt(cell, low) - (rising == low ? 1 : 0) + (falling - 1 == low ? 1 : 0) == 0) {
        newLow = low + 1;
    }
    return newHigh - newLow;
}

void CellSpreads::shift(int cell, int falling, int rising) {
    --classesAt(cell, falling);
    ++classesAt(cell, falling - 1);
    --classesAt(cell, rising);
    ++classesAt(cell, rising + 1);
    int& high = highest_[index(cell)];
    int& low = lowest_[index(cell)];
    high = std::max(high, rising + 1);
    while (classesAt(cell, high) == 0) {
        --high;
    }
    low = std::min(low, falling - 1);
    while (classesAt(cell, low) == 0) {
        ++low;
    }
}

}  // namespace qm::engine
