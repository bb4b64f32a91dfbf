#pragma once

namespace qm::db {
class Connection;
}

namespace qm::store {

// Creates the tables every database file holds from the start, fb_info (the projects) and config
// (one settings row per project), when they are missing. Project ids are never reused, not even
// after the newest project was deleted. Projects written before the tables of groups, undo
// steps and saved versions existed get them (see AdjustmentTables.h), and those tables of projects
// an older version deleted are dropped. When everything exists
// nothing is written, so opening a database for reading never waits for another program's write.
void ensureSchema(db::Connection& connection);

}  // namespace qm::store
