#pragma once

#include <string_view>

#include "FuzzTarget.h"

namespace qm::fuzz {

// Runs one input through the compound-file reader alone (the container of .xls workbooks): opens
// it and reads every top-level stream it lists, which reaches the allocation table, its
// extension sectors, the mini stream and the directory tree with any bytes at all.
class CompoundFileTarget final : public FuzzTarget {
  public:
    void run(std::string_view bytes) override;
};

}  // namespace qm::fuzz
