#pragma once

#include <ostream>
#include <string>

#include "engine/DivisionRun.h"

namespace qm::cli {

// Prints every console line of a division or 深度优化 as it comes.
class ConsolePrinter : public engine::DivisionObserver {
  public:
    explicit ConsolePrinter(std::ostream& out) : out_(out) {}
    void consoleLine(const std::string& line) override { out_ << line << "\n" << std::flush; }
    void remarkLine(const std::string& line) override { consoleLine(line); }

  private:
    std::ostream& out_;
};

}  // namespace qm::cli
