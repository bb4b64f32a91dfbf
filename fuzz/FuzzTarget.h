#pragma once

#include <array>
#include <memory>
#include <string_view>

namespace qm::fuzz {

// One place where arbitrary bytes enter the system. run() must end normally for every input: a
// crash, a sanitizer report, an uncaught exception or a broken promise about the stored data
// (reported with std::abort) is a finding.
class FuzzTarget {
  public:
    virtual ~FuzzTarget() = default;
    virtual void run(std::string_view bytes) = 0;
};

// The targets by name: a spreadsheet reader each for "xls", "xlsx" and "csv" files,
// "import_save", which reads a file of any of the three kinds and stores its rows, and
// "compound", the container of .xls workbooks alone.
inline constexpr std::array<std::string_view, 5> kFuzzTargetNames = {"xls", "xlsx", "csv",
                                                                     "import_save", "compound"};

// A fresh target of that name, with its own temporary folder (and database); std::invalid_argument
// for a name not in kFuzzTargetNames.
std::unique_ptr<FuzzTarget> makeFuzzTarget(std::string_view name);

}  // namespace qm::fuzz
