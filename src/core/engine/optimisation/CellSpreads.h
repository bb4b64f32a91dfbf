#pragma once

#include <cstddef>
#include <vector>

namespace qm::engine {

// For every band cell (one ten-point band of one subject), how many classes hold each head count,
// so that the spread of the cell's head counts across the classes (largest minus smallest) is
// known at once, also for the case that one class loses a student of the cell and another gains
// one, whatever the number of classes.
class CellSpreads {
  public:
    CellSpreads() = default;
    // counts: per class and cell (class-major); cellTotals: per cell, its students in all classes,
    // the most any class can hold.
    CellSpreads(const std::vector<int>& counts, int classCount, const std::vector<int>& cellTotals);

    int spread(int cell) const { return highest_[index(cell)] - lowest_[index(cell)]; }
    // The spread once a class whose head count in the cell is `falling` loses one and another
    // whose count is `rising` gains one.
    int spreadAfter(int cell, int falling, int rising) const;
    void shift(int cell, int falling, int rising);

  private:
    static std::size_t index(int cell) { return static_cast<std::size_t>(cell); }
    int& classesAt(int cell, int count) {
        return classesAt_[index(cell)][static_cast<std::size_t>(count)];
    }
    int classesAt(int cell, int count) const {
        return classesAt_[index(cell)][static_cast<std::size_t>(count)];
    }

    std::vector<std::vector<int>> classesAt_;  // per cell and head count: how many classes hold it
    std::vector<int> highest_;                 // per cell
    std::vector<int> lowest_;                  // per cell
};

}  // namespace qm::engine
