#include "store/StepHistory.h"

#include "common/InterleavingPause.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/AdjustmentTables.h"
#include "store/GroupCheck.h"
#include "store/GroupStore.h"
#include "store/ProjectStore.h"
#include "store/StepRecorder.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

struct Step {
    std::int64_t number = 0;
    std::string action;
};

// The step undo (undone=0, newest first) or redo (undone=1, oldest first) would take.
std::optional<Step> nextStep(db::Connection& connection, const AdjustmentTables& tables,
                             bool undo) {
    const auto rows =
        connection.query("select step,action from " + tables.steps + " where undone=" +
                         (undo ? "0 order by step desc" : "1 order by step") + " limit 1");
    if (rows.empty()) {
        return std::nullopt;
    }
    return Step{rows[0]["step"].toInt(), rows[0]["action"].toText()};
}

// The groups set after a step that its classes would break: the step is refused with them, or
// taken all the same with the groups kept, or taken after they are deleted.
void dealWithBrokenGroups(db::Connection& connection, const CurrentProject& project,
                          const ClassOfStudent& newClasses, const std::string& what,
                          BrokenGroups brokenGroups) {
    const auto broken = groupsBrokenBy(connection, project.id(), project.fbTable, newClasses);
    if (broken.empty() || brokenGroups == BrokenGroups::Keep) {
        return;
    }
    if (brokenGroups == BrokenGroups::Refuse) {
        std::vector<StudentGroup> groups;
        for (const BrokenGroup& group : broken) {
            groups.push_back(group.group);
        }
        throw StepBreaksGroups(
            brokenGroupsMessage(what + "会违反后来设的约束:", broken) +
                "\n\n可以仍然" + what + "并保留约束（下次分班时遵守），或者删除这些约束后" +
                what + "。",
            std::move(groups));
    }
    for (const BrokenGroup& group : broken) {
        deleteGroup(connection, project.id(), group.group.id);
    }
}

// Puts the students of a step back where they sat before it (undo) or after it (redo), once
// every one of them is found where the step left them (undo) or found them (redo).
std::string takeStep(db::Connection& connection, const CurrentProject& project, bool undo,
                     BrokenGroups brokenGroups, std::optional<std::int64_t> expectedStep) {
    const std::string& table = checkedTableName(project.fbTable);
    const AdjustmentTables tables(project.id());
    const std::string verb = undo ? "撤销" : "重做";
    db::Transaction transaction(connection);
    const auto step = nextStep(connection, tables, undo);
    if (!step) {
        throw UserError(undo ? "没有可以撤销的操作" : "没有可以重做的操作");
    }
    const std::string what = verb + "“" + step->action + "”";
    if (expectedStep && *expectedStep != step->number) {
        throw UserError("另一个程序刚改动了这个分班项目：现在可以" + verb + "的是“" + step->action +
                        "”，不是窗口上显示的那一步。没有" + verb + "，请看清后再试");
    }
    auto select =
        connection.prepare("select student_id,old_class,old_type,new_class,new_type from " +
                           tables.stepRows + " where step=? order by student_id");
    select.bind(1, step->number);
    const auto rows = select.query();
    const Placements current = readPlacements(connection, table);
    ClassOfStudent newClasses;
    for (const auto row : rows) {
        const int student = static_cast<int>(row["student_id"].toInt());
        const Placement expected{row[undo ? "new_class" : "old_class"],
                                 row[undo ? "new_type" : "old_type"]};
        const auto found = current.find(student);
        if (found == current.end()) {
            throw UserError(studentNumbers({student}) + " 已不在该分班项目中，无法" + what);
        }
        if (!(found->second == expected)) {
            throw UserError(studentNumbers({student}) +
                            (undo ? " 在这一步之后" : " 在撤销这一步之后") + "又被改动过（现在在 " +
                            classTitle(classNumber(found->second.classId)) + "），无法" + what);
        }
        newClasses[student] = classNumber(row[undo ? "old_class" : "new_class"]);
    }
    dealWithBrokenGroups(connection, project, newClasses, what, brokenGroups);
    pauseAfterReading();
    auto update =
        connection.prepare("update " + table + " set class_id=?,type=? where student_id=?");
    for (const auto row : rows) {
        update.bind(1, row[undo ? "old_class" : "new_class"])
            .bind(2, row[undo ? "old_type" : "new_type"])
            .bind(3, row["student_id"]);
        update.execute();
    }
    auto mark = connection.prepare("update " + tables.steps + " set undone=? where step=?");
    mark.bind(1, undo ? 1 : 0).bind(2, step->number);
    mark.execute();
    transaction.commit();
    return step->action;
}

}  // namespace

HistoryState historyState(db::Connection& connection, const CurrentProject& project) {
    const AdjustmentTables tables(project.id());
    HistoryState state;
    if (const auto step = nextStep(connection, tables, true)) {
        state.undo = step->action;
        state.undoNumber = step->number;
    }
    if (const auto step = nextStep(connection, tables, false)) {
        state.redo = step->action;
        state.redoNumber = step->number;
    }
    return state;
}

std::string undoStep(db::Connection& connection, const CurrentProject& project,
                     BrokenGroups brokenGroups, std::optional<std::int64_t> expected) {
    return takeStep(connection, project, true, brokenGroups, expected);
}

std::string redoStep(db::Connection& connection, const CurrentProject& project,
                     BrokenGroups brokenGroups, std::optional<std::int64_t> expected) {
    return takeStep(connection, project, false, brokenGroups, expected);
}

}  // namespace qm::store
