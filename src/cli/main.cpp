// quillmere-cli: the command-line front of Quillmere. Global options come before the command:
//   quillmere-cli [--db PATH] COMMAND [ARGS...]
#include <iostream>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "common/Platform.h"
#include "common/UserError.h"
#include "common/Version.h"
#include "db/DbError.h"
#include "store/DatabaseLocation.h"

namespace {

void printUsage(std::ostream& out) {
    out << "用法: quillmere-cli [--db PATH] COMMAND [ARGS...]\n"
           "      quillmere-cli --version\n"
           "数据库: --db PATH, 否则环境变量 QUILLMERE_DB, 否则默认位置\n\n命令:\n";
    for (const auto& command : qm::cli::registeredCommands()) {
        out << "  " << command.name << " " << command.usage << "\n      " << command.summary
            << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    qm::platform::useUtf8Console();
    const std::vector<std::string> words = qm::platform::utf8Arguments(argc, argv);
    std::string dbOption;
    std::size_t next = 0;
    while (next < words.size() && words[next].starts_with("--")) {
        if (words[next] == "--db" && next + 1 < words.size()) {
            dbOption = words[next + 1];
            next += 2;
        } else if (words[next].starts_with("--db=")) {
            dbOption = words[next].substr(5);
            next += 1;
        } else if (words[next] == "--help") {
            printUsage(std::cout);
            return 0;
        } else if (words[next] == "--version") {
            std::cout << "quillmere-cli " << qm::kVersion << "\n";
            return 0;
        } else {
            std::cerr << "未知的选项: " << words[next] << "\n";
            printUsage(std::cerr);
            return 2;
        }
    }
    if (next == words.size()) {
        printUsage(std::cerr);
        return 2;
    }
    const std::string name = words[next];
    const std::vector<std::string> rest(words.begin() + static_cast<long>(next) + 1, words.end());
    for (const auto& command : qm::cli::registeredCommands()) {
        if (command.name != name) {
            continue;
        }
        try {
            qm::cli::CliContext context(qm::store::resolveDatabasePath(dbOption), std::cout,
                                        std::cerr);
            return command.run(context, rest);
        } catch (const qm::cli::UsageError& error) {
            std::cerr << error.what() << "\n用法: quillmere-cli " << command.name << " "
                      << command.usage << "\n";
            return 2;
        } catch (const std::exception& error) {
            std::cerr << qm::errorText(error) << "\n";
            return 1;
        }
    }
    std::cerr << "未知的命令: " << name << "\n";
    printUsage(std::cerr);
    return 2;
}
