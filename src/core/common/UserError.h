#pragma once

#include <stdexcept>
#include <string>

namespace qm {

// A refusal meant for the user: what() is the message to show, in the system's own words.
class UserError : public std::runtime_error {
  public:
    explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace qm
