#pragma once

#include <stdexcept>
#include <string>

namespace qm::db {

// Raised by every database operation that fails. what() is a message for the user, in Chinese;
// when the engine refused, its own text follows in brackets for support, and code() is the
// engine's extended result code (0 for refusals of this layer itself).
class DbError : public std::runtime_error {
  public:
    explicit DbError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};

}  // namespace qm::db
