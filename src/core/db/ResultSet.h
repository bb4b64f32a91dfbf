#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "db/Value.h"

namespace qm::db {

class ResultSet;

// One row of a result, read by position or by column name or alias (case-insensitive, as SQL
// names are).
class Row {
  public:
    Row(const ResultSet& set, std::size_t index) : set_(&set), index_(index) {}
    const Value& operator[](std::size_t column) const;
    const Value& operator[](std::string_view name) const;
    std::size_t index() const { return index_; }

  private:
    const ResultSet* set_;
    std::size_t index_;
};

// All rows of a query, read completely when it ran: the row count is known at once.
class ResultSet {
  public:
    ResultSet(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    Row row(std::size_t index) const;
    Row operator[](std::size_t index) const { return row(index); }

    const std::vector<std::string>& columns() const { return columns_; }
    // Position of a column by name or alias; raises DbError when there is none.
    std::size_t columnIndex(std::string_view name) const;
    const Value& at(std::size_t row, std::size_t column) const { return rows_.at(row).at(column); }

    class Iterator {
      public:
        Iterator(const ResultSet& set, std::size_t index) : set_(&set), index_(index) {}
        Row operator*() const { return Row(*set_, index_); }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

      private:
        const ResultSet* set_;
        std::size_t index_;
    };
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, rows_.size()); }

  private:
    std::vector<std::string> columns_;
    std::vector<std::vector<Value>> rows_;
};

}  // namespace qm::db
