#include "reports/StatGrid.h"

namespace qm::reports {

StatGrid::StatGrid(std::string name, std::size_t columnCount)
    : name_(std::move(name)), columnCount_(columnCount) {
    addRow();  // the title row
}

std::size_t StatGrid::addRow() {
    rows_.emplace_back(columnCount_);
    return rows_.size() - 1;
}

}  // namespace qm::reports
