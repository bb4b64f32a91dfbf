#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "CliArgs.h"

namespace qm::db {
class Connection;
}

namespace qm::cli {

// What a command gets: the database (opened on first use) and the output streams.
class CliContext {
  public:
    CliContext(std::string databasePath, std::ostream& out, std::ostream& err);
    ~CliContext();
    db::Connection& connection();
    std::ostream& out;
    std::ostream& err;

  private:
    std::string databasePath_;
    std::unique_ptr<db::Connection> connection_;
};

using CommandFunction = int (*)(CliContext& context, const std::vector<std::string>& words);

struct CommandInfo {
    std::string name;
    std::string usage;    // the words after the name, e.g. "ID [--overwrite]"
    std::string summary;  // one line
    CommandFunction run;
};

// Each command file registers its commands with a static CommandRegistration.
struct CommandRegistration {
    CommandRegistration(const char* name, const char* usage, const char* summary,
                        CommandFunction run);
};

const std::vector<CommandInfo>& registeredCommands();

}  // namespace qm::cli
