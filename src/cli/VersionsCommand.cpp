// Saved versions of a project's classes: save, list, restore, compare two (students moved, the
// figures of every class and the balance figures of both).
#include <map>
#include <ostream>

#include "AdjustmentArgs.h"
#include "reports/BalanceReport.h"
#include "reports/TextTable.h"
#include "reports/VersionComparison.h"
#include "store/GroupCheck.h"
#include "store/SavedVersions.h"

namespace qm::cli {

namespace {

void listVersions(CliContext& context, const store::CurrentProject& project) {
    const auto versions = store::listVersions(context.connection(), project);
    if (versions.empty()) {
        context.out << "该分班项目还没有保存的方案\n";
        return;
    }
    reports::TextRows rows = {{"方案", "名称", "保存时间", "学生数"}};
    for (const auto& version : versions) {
        rows.push_back({std::to_string(version.number), version.name, version.saved,
                        std::to_string(version.students)});
    }
    context.out << reports::alignedText(rows);
}

// The columns of 班级信息 the comparison shows: head count, every subject's deviation, the
// total's average and deviation.
bool comparedColumn(std::size_t column) {
    return column == reports::kHeadCountColumn || column + 2 == reports::kRedivisionMarkColumn ||
           reports::isDeviationColumn(column);
}

// The row of a class (by its name; 全体 for the row of all students) in 班级信息; 0 when none.
std::size_t rowOf(const reports::StatGrid& info, const std::string& name) {
    for (std::size_t r = 1; r < info.rowCount(); ++r) {
        if (info.text(r, reports::kClassNameColumn) == name) {
            return r;
        }
    }
    return 0;
}

// Per class, the figures of both versions side by side; the row of all students last.
reports::TextRows figuresSideBySide(const reports::VersionComparison& comparison) {
    const reports::StatGrid* infos[] = {&comparison.firstStatistics.classInfo,
                                        &comparison.secondStatistics.classInfo};
    const std::string prefixes[] = {"方案" + std::to_string(comparison.first.number) + " ",
                                    "方案" + std::to_string(comparison.second.number) + " "};
    std::map<int, std::string> classes;
    for (const auto* statistics : {&comparison.firstStatistics, &comparison.secondStatistics}) {
        for (const auto& entry : statistics->classes) {
            classes[entry.classId] = entry.name;
        }
    }
    std::vector<std::string> names;
    for (const auto& [classId, name] : classes) {
        names.push_back(name);
    }
    names.push_back(reports::kCohortRowName);
    reports::TextRows rows = {{"班级"}};
    for (std::size_t c = 0; c < infos[0]->columnCount(); ++c) {
        for (std::size_t v = 0; v < 2 && comparedColumn(c); ++v) {
            rows[0].push_back(prefixes[v] + infos[v]->text(0, c));
        }
    }
    for (const std::string& name : names) {
        auto& row = rows.emplace_back(1, name);
        const std::size_t found[] = {rowOf(*infos[0], name), rowOf(*infos[1], name)};
        for (std::size_t c = 0; c < infos[0]->columnCount(); ++c) {
            for (std::size_t v = 0; v < 2 && comparedColumn(c); ++v) {
                row.push_back(found[v] == 0 ? "" : infos[v]->text(found[v], c));
            }
        }
    }
    return rows;
}

void compareVersions(CliContext& context, const store::CurrentProject& project, int first,
                     int second) {
    const auto comparison = reports::compareVersions(context.connection(), project, first, second);
    context.out << "方案 " << comparison.first.number << "（" << comparison.first.name
                << "）与方案 " << comparison.second.number << "（" << comparison.second.name
                << "）: " << comparison.moved.size() << " 名学生班级不同\n";
    if (!comparison.moved.empty()) {
        reports::TextRows moved = {
            {"学号", "姓名", "方案" + std::to_string(first), "方案" + std::to_string(second)}};
        for (const auto& student : comparison.moved) {
            moved.push_back({std::to_string(student.studentId), student.name,
                             store::classTitle(student.firstClass),
                             store::classTitle(student.secondClass)});
        }
        context.out << reports::alignedText(moved);
    }
    context.out << "\n" << reports::alignedText(figuresSideBySide(comparison));
    context.out << "\n"
                << reports::alignedText(reports::balanceComparisonRows(
                       {"均衡度", "方案" + std::to_string(first), "方案" + std::to_string(second)},
                       {comparison.firstBalance ? &*comparison.firstBalance : nullptr,
                        comparison.secondBalance ? &*comparison.secondBalance : nullptr}));
}

int versionsCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {"save", "restore", "compare"}, {"list"});
    const auto project = projectArg(context, args);
    const auto compare = args.value("compare");
    args.expectPositionals(compare ? 2 : 1);
    expectOneAction(args, {"save", "restore", "compare"});
    if (const auto name = args.value("save")) {
        const int number = store::saveVersion(context.connection(), project, *name);
        context.out << "已保存方案 " << number << "（"
                    << store::findVersion(context.connection(), project, number).name << "）\n";
    } else if (const auto restore = args.value("restore")) {
        const auto outcome = store::restoreVersion(context.connection(), project,
                                                   wholeNumberArg(*restore, "--restore"));
        context.out << "已" << outcome.description << "\n";
    } else if (compare) {
        compareVersions(context, project, wholeNumberArg(*compare, "--compare"),
                        wholeNumberArg(args.positional(1, "--compare N M 的 M"), "--compare"));
    } else {
        listVersions(context, project);
    }
    return 0;
}

const CommandRegistration registration(
    "versions", "ID [--save NAME | --list | --restore N | --compare N M]",
    "方案: 保存当前各班 (保存方案), 列出, 恢复 (可撤销), 对比两个方案", versionsCommand);

}  // namespace

}  // namespace qm::cli
