// Changes made by hand: move a student into another class, swap two students, undo and redo.
#include <ostream>

#include "AdjustmentArgs.h"
#include "common/NumberText.h"
#include "db/Connection.h"
#include "reports/ClassesStatistics.h"
#include "reports/TextTable.h"
#include "store/HandMoves.h"
#include "store/StepHistory.h"

namespace qm::cli {

namespace {

// The figures of the classes a change touched, one line per class and one for all students:
// head counts, then each average with its deviation, "!" where the window shows red.
void printFigures(CliContext& context, const store::CurrentProject& project,
                  const std::vector<int>& classes) {
    const auto statistics =
        reports::statisticsOfClasses(context.connection(), project.fbTable, classes);
    const reports::StatGrid& info = statistics.classInfo;
    reports::TextRows rows(info.rowCount());
    for (std::size_t c = reports::kClassNameColumn; c < reports::kFirstAverageColumn; ++c) {
        for (std::size_t r = 0; r < info.rowCount(); ++r) {
            rows[r].push_back(info.text(r, c));
        }
    }
    for (std::size_t c = reports::kFirstAverageColumn; c < reports::kRedivisionMarkColumn; c += 2) {
        rows[0].push_back(info.text(0, c) + "(偏差)");
        for (std::size_t r = 1; r < info.rowCount(); ++r) {
            const auto& deviation = info.cell(r, c + 1);
            rows[r].push_back(trimmed(info.text(r, c)) + "(" + trimmed(deviation.text) + ")" +
                              (deviation.red ? "!" : ""));
        }
    }
    context.out << reports::alignedText(rows);
}

// A move or a swap: ID, a student's number and a class or a second student's number (named
// `second` in messages). Prints what was done and the figures of the classes it touched.
using HandChange = store::AdjustmentOutcome (*)(db::Connection&, const store::CurrentProject&, int,
                                                int);
int runHandChange(CliContext& context, const std::vector<std::string>& words,
                  const std::string& second, HandChange change) {
    CliArgs args(words, {}, {});
    args.expectPositionals(3);
    const auto project = projectArg(context, args);
    const auto outcome = change(context.connection(), project,
                                wholeNumberArg(args.positional(1, "STUDENT"), "STUDENT"),
                                wholeNumberArg(args.positional(2, second), second));
    context.out << "已" << outcome.description << "\n";
    printFigures(context, project, outcome.classes);
    return 0;
}

// Undo or redo: prints what was taken back or made again, and nothing when it was refused. A
// step that would break groups set later is refused unless --keep-groups (take it, the groups
// stay) or --remove-groups (delete them, then take it) says what to do with them.
using HistoryStep = std::string (*)(db::Connection&, const store::CurrentProject&,
                                    store::BrokenGroups, std::optional<std::int64_t>);
int runHistoryStep(CliContext& context, const std::vector<std::string>& words,
                   const std::string& done, HistoryStep step) {
    CliArgs args(words, {}, {"keep-groups", "remove-groups"});
    args.expectPositionals(1);
    if (args.flag("keep-groups") && args.flag("remove-groups")) {
        throw UsageError("--keep-groups 和 --remove-groups 只能选一个");
    }
    const auto brokenGroups = args.flag("keep-groups")     ? store::BrokenGroups::Keep
                              : args.flag("remove-groups") ? store::BrokenGroups::Remove
                                                           : store::BrokenGroups::Refuse;
    const auto project = projectArg(context, args);
    std::string action;
    try {
        action = step(context.connection(), project, brokenGroups, std::nullopt);
    } catch (const store::StepBreaksGroups& refused) {
        throw UserError(std::string(refused.what()) +
                        "\n(仍然执行并保留约束: --keep-groups；删除这些约束后执行: --remove-groups)");
    }
    context.out << done << ": " << action << "\n";
    return 0;
}

int moveCommand(CliContext& context, const std::vector<std::string>& words) {
    return runHandChange(context, words, "CLASS", store::moveStudent);
}

int swapCommand(CliContext& context, const std::vector<std::string>& words) {
    return runHandChange(context, words, "STUDENT", store::swapStudents);
}

int undoCommand(CliContext& context, const std::vector<std::string>& words) {
    return runHistoryStep(context, words, "已撤销", store::undoStep);
}

int redoCommand(CliContext& context, const std::vector<std::string>& words) {
    return runHistoryStep(context, words, "已重做", store::redoStep);
}

const CommandRegistration moveRegistration(
    "move", "ID STUDENT CLASS", "调到: 把学号为 STUDENT 的学生调到 CLASS 班，并列出两个班的数据",
    moveCommand);
const CommandRegistration swapRegistration("swap", "ID STUDENT STUDENT",
                                           "对调: 交换两名学生的班级，并列出两个班的数据",
                                           swapCommand);
const CommandRegistration undoRegistration(
    "undo", "ID [--keep-groups|--remove-groups]",
    "撤销最近一步调动、对调、分班、重新分班或恢复方案; 这一步会违反后来设的约束时, "
    "--keep-groups 仍然撤销并保留约束, --remove-groups 删除这些约束后撤销",
    undoCommand);
const CommandRegistration redoRegistration(
    "redo", "ID [--keep-groups|--remove-groups]",
    "重做最近撤销的一步; 约束的选项同 undo", redoCommand);

}  // namespace

}  // namespace qm::cli
