#pragma once

#include <new>
#include <stdexcept>
#include <string>

namespace qm {

// A refusal meant for the user: what() is the message to show, in the system's own words.
class UserError : public std::runtime_error {
  public:
    explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

// What the user is told when memory ran out. Every change of data is one transaction, so the
// action that ran out changed nothing.
inline constexpr const char* kOutOfMemoryMessage =
    "内存不足，操作没有完成，数据没有改变。请关闭其他程序后再试";

// The text to show for an error that ended an action: its own message, or kOutOfMemoryMessage
// when memory ran out (the standard library's text for that, std::bad_alloc, tells a teacher
// nothing).
inline std::string errorText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return kOutOfMemoryMessage;
    }
    return error.what();
}

}  // namespace qm
