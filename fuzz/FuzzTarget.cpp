#include "FuzzTarget.h"

#include <stdexcept>
#include <string>

#include "CompoundFileTarget.h"
#include "ImportSaveTarget.h"
#include "ReaderTarget.h"

namespace qm::fuzz {

std::unique_ptr<FuzzTarget> makeFuzzTarget(std::string_view name) {
    if (name == "compound") {
        return std::make_unique<CompoundFileTarget>();
    }
    if (name == "import_save") {
        return std::make_unique<ImportSaveTarget>();
    }
    if (name == "xls" || name == "xlsx" || name == "csv") {
        return std::make_unique<ReaderTarget>("." + std::string(name));
    }
    throw std::invalid_argument("no fuzz target named " + std::string(name));
}

}  // namespace qm::fuzz
