#pragma once

#include <stdexcept>
#include <string>

namespace qm::db {

// Raised by every database operation that fails. what() carries the engine's own message, so the
// front ends can show it as it is.
class DbError : public std::runtime_error {
  public:
    explicit DbError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace qm::db
