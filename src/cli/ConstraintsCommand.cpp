// The teacher's groups of a project: list them, add a 分开 or 同班 group, add the groups of a
// file, delete one.
#include <algorithm>
#include <ostream>

#include "AdjustmentArgs.h"
#include "intake/ConstraintFile.h"
#include "reports/TextTable.h"
#include "store/GroupCheck.h"
#include "store/GroupList.h"
#include "store/GroupStore.h"

namespace qm::cli {

namespace {

void listGroups(CliContext& context, const store::CurrentProject& project) {
    const auto listing = store::listGroups(context.connection(), project);
    if (listing.empty()) {
        context.out << "该分班项目还没有约束\n";
        return;
    }
    reports::TextRows rows = {{"组", "方式", "名称", "学生", "现在"}};
    std::string reasons;
    for (const auto& line : listing) {
        rows.push_back({std::to_string(line.group.id),
                        std::string(store::kindName(line.group.kind)), line.group.label,
                        line.members, line.broken ? "未遵守" : "遵守"});
        if (line.broken) {
            reasons += "  " + *line.broken + "\n";
        }
    }
    context.out << reports::alignedText(rows);
    if (!reasons.empty()) {
        context.out << "现在的班级未遵守的约束:\n" << reasons;
    }
}

void printAdded(CliContext& context, const store::CurrentProject& project,
                const std::vector<int>& ids) {
    const auto classes = store::readClasses(context.connection(), project.fbTable);
    for (const auto& group : store::loadGroups(context.connection(), project.id())) {
        if (std::find(ids.begin(), ids.end(), group.id) == ids.end()) {
            continue;
        }
        context.out << "已添加" << store::groupTitle(group) << ": "
                    << store::studentNumbers(group.members) << "\n";
        if (const auto broken = store::whyBroken(group, classes)) {
            context.out << "  现在的班级未遵守这一约束，下次分班时遵守: " << *broken << "\n";
        }
    }
}

int constraintsCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {"apart", "together", "delete", "file"}, {"list"});
    args.expectPositionals(1);
    const auto project = projectArg(context, args);
    expectOneAction(args, {"apart", "together", "delete", "file"});
    auto& connection = context.connection();
    if (const auto apart = args.value("apart")) {
        printAdded(
            context, project,
            store::addGroups(connection, project,
                             {{store::GroupKind::Apart, wholeNumberList(*apart, "--apart"), ""}}));
    } else if (const auto together = args.value("together")) {
        printAdded(context, project,
                   store::addGroups(connection, project,
                                    {{store::GroupKind::Together,
                                      wholeNumberList(*together, "--together"), ""}}));
    } else if (const auto group = args.value("delete")) {
        const int id = wholeNumberArg(*group, "--delete");
        store::deleteGroup(connection, project.id(), id);
        context.out << "已删除第 " << id << " 组约束\n";
    } else if (const auto file = args.value("file")) {
        printAdded(context, project, intake::addGroupsFromFile(connection, project, *file));
    } else {
        listGroups(context, project);
    }
    return 0;
}

const CommandRegistration registration(
    "constraints",
    "ID [--list | --apart 1001,1002 | --together 1003,1004 | --delete GROUP | --file FILE]",
    "约束: 列出项目的分开组与同班组; 添加分开组或同班组; 删除一组; 从文件 (学号, 组, 方式) 添加",
    constraintsCommand);

}  // namespace

}  // namespace qm::cli
