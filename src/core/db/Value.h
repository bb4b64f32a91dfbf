#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace qm::db {

// One value of a row or of a bound parameter. NULL is kept distinct from 0 and from empty text.
class Value {
  public:
    enum class Kind { Null, Integer, Real, Text };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : data_(static_cast<std::int64_t>(v)) {}
    Value(std::int64_t v) : data_(v) {}
    Value(double v) : data_(v) {}
    Value(std::string v) : data_(std::move(v)) {}
    Value(std::string_view v) : data_(std::string(v)) {}
    Value(const char* v) : data_(std::string(v)) {}

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool isNull() const { return kind() == Kind::Null; }

    // Conversions as the system reads its columns. A NULL raises DbError naming the value as
    // missing; a text that is not a number raises DbError too.
    std::int64_t toInt() const;
    double toDouble() const;
    // NULL reads as empty text; numbers in their shortest decimal form (85, 92.5).
    std::string toText() const;

    bool operator==(const Value& other) const = default;

  private:
    std::variant<std::monostate, std::int64_t, double, std::string> data_;
};

}  // namespace qm::db
