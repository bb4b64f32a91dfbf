// Back-up and restore of the whole database file.
#include <ostream>

#include "CliCommand.h"
#include "common/UserError.h"
#include "store/DatabaseBackup.h"
#include "store/WriteTargets.h"

namespace qm::cli {

namespace {

int backupCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {"overwrite"});
    args.expectPositionals(1);
    const std::string& target = args.positional(0, "FILE");
    try {
        store::backupDatabase(context.connection(), target, args.flag("overwrite"));
    } catch (const store::ExistingFileRefused& refused) {
        throw UserError(std::string(refused.what()) + "\n要用新的备份替换它, 请加 --overwrite");
    }
    context.out << "数据库已备份到 " << target << "\n";
    return 0;
}

int restoreCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {});
    args.expectPositionals(1);
    const std::string& source = args.positional(0, "FILE");
    const std::string safetyCopy = store::restoreDatabase(context.connection(), source);
    context.out << "已用 " << source << " 恢复数据库\n";
    if (!safetyCopy.empty()) {
        context.out << "恢复前的数据保存在 " << safetyCopy << "\n";
    }
    return 0;
}

const CommandRegistration backupRegistration(
    "backup", "FILE [--overwrite]",
    "把整个数据库备份到文件 FILE (程序使用中也可以); --overwrite 替换已有的文件", backupCommand);
const CommandRegistration restoreRegistration("restore", "FILE",
                                              "用备份文件 FILE 替换数据库中的全部数据; 先检查它是 "
                                              "Quillmere 数据库, 原来的数据另存在数据库旁边",
                                              restoreCommand);

}  // namespace

}  // namespace qm::cli
