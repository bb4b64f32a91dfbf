#include "CliCommand.h"

#include <algorithm>

#include "db/Connection.h"
#include "store/OpenDatabase.h"

namespace qm::cli {

namespace {
std::vector<CommandInfo>& commandTable() {
    static std::vector<CommandInfo> table;
    return table;
}
}  // namespace

CliContext::CliContext(std::string databasePath, std::ostream& o, std::ostream& e)
    : out(o), err(e), databasePath_(std::move(databasePath)) {}

CliContext::~CliContext() = default;

db::Connection& CliContext::connection() {
    if (!connection_) {
        connection_ = store::openDatabase(databasePath_);
    }
    return *connection_;
}

CommandRegistration::CommandRegistration(const char* name, const char* usage, const char* summary,
                                         CommandFunction run) {
    auto& table = commandTable();
    table.push_back({name, usage, summary, run});
    std::sort(table.begin(), table.end(),
              [](const CommandInfo& a, const CommandInfo& b) { return a.name < b.name; });
}

const std::vector<CommandInfo>& registeredCommands() {
    return commandTable();
}

}  // namespace qm::cli
