// Commands on projects: list, create, delete.
#include <ostream>

#include "CliCommand.h"
#include "store/ProjectStore.h"

namespace qm::cli {

namespace {

int listCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs(words, {}, {}).expectPositionals(0);
    context.out << "自编号\t分班描述\t班级数\t建立时间\n";
    for (const auto& project : store::listProjects(context.connection())) {
        context.out << project.id << "\t" << project.memoOnOneLine() << "\t" << project.num << "\t"
                    << project.update_date << "\n";
    }
    return 0;
}

int newCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {"memo", "classes"}, {});
    args.expectPositionals(0);
    const auto classes = args.value("classes");
    if (!classes) {
        throw UsageError("缺少 --classes N");
    }
    const int count = store::parseClassCount(*classes);
    const auto project =
        store::createProject(context.connection(), args.value("memo").value_or(""), count);
    context.out << "新建分班操作成功!\n" << project.fbId << "\n";
    return 0;
}

int deleteCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    store::deleteProject(context.connection(), id);
    context.out << "已删除分班项目 " << id << "\n";
    return 0;
}

const CommandRegistration listRegistration("projects", "", "列出所有分班项目", listCommand);
const CommandRegistration newRegistration("new", "--memo TEXT --classes N",
                                          "新建分班项目; 最后一行是新项目的自编号", newCommand);
const CommandRegistration deleteRegistration("delete", "ID",
                                             "删除分班项目及其参数设置、学生表和副表",
                                             deleteCommand);

}  // namespace

}  // namespace qm::cli
