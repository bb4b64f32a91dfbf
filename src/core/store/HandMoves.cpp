#include "store/HandMoves.h"

#include "common/InterleavingPause.h"
#include "common/NumberText.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/GroupCheck.h"
#include "store/HandPlacement.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::store {

namespace {

struct Seat {
    int studentId = 0;
    std::string name;
    int classId = 0;
    // "学号 1001 张三"
    std::string title() const {
        return studentNumbers({studentId}) + (name.empty() ? "" : " " + name);
    }
};

Seat findSeat(db::Connection& connection, const std::string& table, int studentId) {
    auto select =
        connection.prepare("select student_name,class_id from " + table + " where student_id=?");
    select.bind(1, studentId);
    const auto rows = select.query();
    if (rows.empty()) {
        throw UserError(studentNumbers({studentId}) + " 不是该分班项目的学生");
    }
    return {studentId, trimmed(rows[0]["student_name"].toText()), classNumber(rows[0]["class_id"])};
}

}  // namespace

AdjustmentOutcome moveStudent(db::Connection& connection, const CurrentProject& project,
                              int studentId, int classId) {
    const std::string& table = checkedTableName(project.fbTable);
    db::Transaction transaction(connection);  // decides on the classes as they are now
    const int classCount = findProject(connection, project.id()).num;
    if (classId < 1 || classId > classCount) {
        throw UserError("班级必须在 1 到 " + std::to_string(classCount) +
                        " 班之间: " + std::to_string(classId));
    }
    const Seat seat = findSeat(connection, table, studentId);
    if (seat.classId == classId) {
        throw UserError(seat.title() + " 已在 " + classTitle(classId));
    }
    pauseAfterReading();
    auto outcome = placeByHand(
        connection, project, {{studentId, classId}},
        "把 " + seat.title() + " 从 " + classTitle(seat.classId) + " 调到 " + classTitle(classId));
    transaction.commit();
    return outcome;
}

AdjustmentOutcome swapStudents(db::Connection& connection, const CurrentProject& project,
                               int firstId, int secondId) {
    const std::string& table = checkedTableName(project.fbTable);
    db::Transaction transaction(connection);  // exchanges the classes the two have now
    const Seat first = findSeat(connection, table, firstId);
    const Seat second = findSeat(connection, table, secondId);
    for (const Seat* seat : {&first, &second}) {
        if (seat->classId == 0) {
            throw UserError(seat->title() + " 还没有分班，不能对调");
        }
    }
    if (first.classId == second.classId) {
        throw UserError(first.title() + " 和 " + second.title() + " 都在 " +
                        classTitle(first.classId) + "，无需对调");
    }
    // Each goes into the other's class, which must be one of the project's (a student copied
    // from another project may sit in a class this one does not have), as for a move.
    const int classCount = findProject(connection, project.id()).num;
    for (const Seat* seat : {&first, &second}) {
        if (seat->classId < 1 || seat->classId > classCount) {
            throw UserError("不能对调: " + seat->title() + " 在 " + classTitle(seat->classId) +
                            "，该分班项目只有 1 到 " + std::to_string(classCount) + " 班");
        }
    }
    pauseAfterReading();
    auto outcome =
        placeByHand(connection, project, {{firstId, second.classId}, {secondId, first.classId}},
                    "对调 " + first.title() + "（" + classTitle(first.classId) + "）和 " +
                        second.title() + "（" + classTitle(second.classId) + "）");
    transaction.commit();
    return outcome;
}

}  // namespace qm::store
