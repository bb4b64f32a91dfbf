#include "store/OpenDatabase.h"

#include "db/Connection.h"
#include "store/PartialFiles.h"
#include "store/Schema.h"

namespace qm::store {

std::unique_ptr<db::Connection> openDatabase(const std::string& path) {
    auto connection = std::make_unique<db::Connection>(path);
    removeLeftoverPartialFiles(path);
    ensureSchema(*connection);
    return connection;
}

}  // namespace qm::store
