#include "db/ResultSet.h"

#include <strings.h>

#include "db/DbError.h"

namespace qm::db {

const Value& Row::operator[](std::size_t column) const {
    return set_->at(index_, column);
}

const Value& Row::operator[](std::string_view name) const {
    return set_->at(index_, set_->columnIndex(name));
}

Row ResultSet::row(std::size_t index) const {
    if (index >= rows_.size()) {
        throw DbError("行号超出结果范围: " + std::to_string(index));
    }
    return Row(*this, index);
}

std::size_t ResultSet::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].size() == name.size() &&
            strncasecmp(columns_[i].data(), name.data(), name.size()) == 0) {
            return i;
        }
    }
    throw DbError("结果中没有列: " + std::string(name));
}

}  // namespace qm::db
