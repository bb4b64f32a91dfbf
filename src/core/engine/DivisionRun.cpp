#include "engine/DivisionRun.h"

#include "common/InterleavingPause.h"
#include "common/NumberText.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/common/RunSettings.h"
#include "engine/division/DivisionPass.h"
#include "engine/groups/DivisionGroups.h"
#include "engine/optimisation/DeepOptimisation.h"
#include "store/GroupCheck.h"
#include "store/OutsideClasses.h"
#include "store/StepRecorder.h"
#include "store/StudentTable.h"

namespace qm::engine {

namespace {

std::string fixedCode() {
    return store::placeCode(store::kFixed);
}

// Puts every student of the table whose type passes typeTest (such as "<>2") back in class 0,
// not placed.
void resetToNotPlaced(db::Connection& connection, const std::string& table,
                      const std::string& typeTest) {
    connection.exec("update " + table + " set class_id=0,type=" +
                    store::placeCode(store::kNotPlaced) + " where type" + typeTest);
}

// Students whose sex is neither 男 nor 女 are never placed; a run says how many it left out.
void reportUnplacedSexes(db::Connection& connection, const std::string& table,
                         DivisionObserver& observer) {
    const auto rows =
        connection.query("select sex from " + table + " where class_id=0 and type<>" + fixedCode());
    int unplaced = 0;
    for (const auto row : rows) {
        const std::string sex = trimmed(row["sex"].toText());
        if (sex != "男" && sex != "女") {
            ++unplaced;
        }
    }
    if (unplaced > 0) {
        observer.consoleLine("有" + std::to_string(unplaced) +
                             "名学生的性别既不是“男”也不是“女”，未分班");
    }
}

// UPDATE ... INNER JOIN of the original: every student of the twin gives its class to the same
// student in the student table.
void copyClassesBack(db::Connection& connection, const std::string& table,
                     const std::string& twin) {
    connection.exec("update " + table + " set class_id=" + twin + ".class_id from " + twin +
                    " where " + twin + ".student_id=" + table + ".student_id");
}

// A division of nobody would report success and change nothing; it is refused instead.
void refuseWithoutStudents(db::Connection& connection, const std::string& table) {
    if (connection.query("select 1 from " + table + " limit 1").empty()) {
        throw store::NoStudents();
    }
}

// Students fixed to a class the project does not have stay there through every division; the
// user is told how many, and where.
void remarkOutsideClasses(db::Connection& connection, const std::string& table, int classCount,
                          DivisionObserver& observer) {
    const std::string line = store::outsideClassesLine(connection, table, classCount);
    if (!line.empty()) {
        observer.remarkLine(line);
    }
}

// "2班、4班"
std::string classNames(const std::vector<int>& classes) {
    std::string names;
    for (int classId : classes) {
        names += (names.empty() ? "" : "、") + store::classTitle(classId);
    }
    return names;
}

}  // namespace

std::vector<std::string> categoryLabels(db::Connection& connection, const std::string& table) {
    std::vector<std::string> labels;
    for (const auto row : connection.query("select pfType from " + table +
                                           " where pfType<>'' group by pfType order by pfType")) {
        labels.push_back(row["pfType"].toText());
    }
    return labels;
}

// A cancel anywhere in a run, its 深度优化 included, cancels the whole run: its transaction is
// rolled back once the body is left, and the message names the run, not the part of it that was
// under way.
void divide(db::Connection& connection, const store::CurrentProject& project,
            DivisionObserver& observer) try {
    const std::string& table = store::checkedTableName(project.fbTable);
    const std::string& twin = store::checkedTableName(project.rbTable);
    // Everything the run decides on is read under the write lock: another program's change
    // either comes before the run, which then sees it, or waits for the run's end.
    db::Transaction transaction(connection);
    const int classCount = projectClassCount(connection, project);
    refuseWithoutStudents(connection, table);
    RunSettings settings = loadRunSettings(connection, project);
    settings.isRefb = false;
    std::vector<int> classIds;
    for (int id = 1; id <= classCount; ++id) {
        classIds.push_back(id);
    }
    const GroupPlan groups = planGroups(connection, project, classIds, false);
    pauseAfterReading();
    store::StepRecorder step(connection, project);
    resetToNotPlaced(connection, table, "<>" + fixedCode());
    // Each category is divided on its own over all classes, in the twin table; its members then
    // count as placed when the rest is divided.
    for (const std::string& label : categoryLabels(connection, table)) {
        connection.exec("delete from " + twin);
        auto copy = connection.prepare("insert into " + twin + " select * from " + table +
                                       " where pfType=?");
        copy.bind(1, label);
        copy.execute();
        resetToNotPlaced(connection, twin, "<>" + fixedCode());
        DivisionPass(connection, twin, classIds, settings, label, observer, groups).run();
        copyClassesBack(connection, table, twin);
        connection.exec("update " + table + " set type=" + store::placeCode(store::kCategory) +
                        " from " + twin + " where " + twin + ".student_id=" + table +
                        ".student_id and " + table + ".type<>" + fixedCode());
    }
    DivisionPass(connection, table, classIds, settings, "", observer, groups).run();
    reportUnplacedSexes(connection, table, observer);
    optimiseAfterDivision(connection, project, observer);
    reportUnkeptGroups(connection, project, observer);
    step.record("分班");
    transaction.commit();
    remarkOutsideClasses(connection, table, classCount, observer);
} catch (const DivisionCancelled&) {
    throw DivisionCancelled("分班");
}

void redivide(db::Connection& connection, const store::CurrentProject& project,
              const std::vector<int>& classes, DivisionObserver& observer) try {
    const std::string& table = store::checkedTableName(project.fbTable);
    const std::string& twin = store::checkedTableName(project.rbTable);
    if (classes.empty()) {
        throw UserError("请选择要重新分班的班级");
    }
    db::Transaction transaction(connection);  // reads under the write lock, as divide() does
    const int classCount = projectClassCount(connection, project);
    refuseWithoutStudents(connection, table);
    for (int classId : classes) {
        if (classId < 1 || classId > classCount) {
            throw UserError("班级 " + std::to_string(classId) + "班 不在 1 到 " +
                            std::to_string(classCount) + " 班之间，无法重新分班");
        }
    }
    RunSettings settings = loadRunSettings(connection, project);
    settings.isRefb = true;
    const GroupPlan groups = planGroups(connection, project, classes, true);
    pauseAfterReading();
    store::StepRecorder step(connection, project);
    connection.exec("delete from " + twin);
    std::string condition;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        condition += i == 0 ? "class_id=?" : " or class_id=?";
    }
    auto copy = connection.prepare("insert into " + twin + " select * from " + table + " where " +
                                   condition);
    for (std::size_t i = 0; i < classes.size(); ++i) {
        copy.bind(static_cast<int>(i) + 1, classes[i]);
    }
    copy.execute();
    resetToNotPlaced(connection, twin, "<" + fixedCode());
    DivisionPass(connection, twin, classes, settings, "重新分班", observer, groups).run();
    reportUnplacedSexes(connection, twin, observer);
    copyClassesBack(connection, table, twin);
    reportUnkeptGroups(connection, project, observer);
    step.record("重新分班 " + classNames(classes));
    observer.consoleLine("重新分班结束");
    transaction.commit();
    remarkOutsideClasses(connection, table, classCount, observer);
} catch (const DivisionCancelled&) {
    throw DivisionCancelled("重新分班");
}

}  // namespace qm::engine
