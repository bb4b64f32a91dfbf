#pragma once

#include <string>
#include <string_view>

#include "FuzzTarget.h"
#include "support/TempDatabase.h"

namespace qm::fuzz {

// Runs one input through a spreadsheet reader as the program does: the bytes become a file with
// the given extension (".xls", ".xlsx" or ".csv"), which is opened by its content and read as the
// import preview; then every sheet is read cell by cell, within bounds, to reach the rest of the
// reader. A refusal (UserError) is a clean end; anything else escapes to the caller.
class ReaderTarget final : public FuzzTarget {
  public:
    explicit ReaderTarget(std::string extension);
    void run(std::string_view bytes) override;

  private:
    test::TempFolder folder_;
    std::string path_;
};

// Writes the bytes to a file, replacing what it held.
void writeInputFile(const std::string& path, std::string_view bytes);

}  // namespace qm::fuzz
