#include "engine/balance/PlacedCohort.h"

#include "common/NumberText.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "engine/common/RunSettings.h"
#include "store/DivisionSettings.h"
#include "store/StudentTable.h"

namespace qm::engine {

namespace {

// Fixed-width texts compare without their trailing blanks (leading ones count).
std::string fixedWidthText(const db::Value& value) {
    std::string text = value.toText();
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

PlacedStudent placedStudent(const db::Row& row) {
    PlacedStudent student;
    student.studentId = static_cast<int>(row["student_id"].toInt());
    double total = 0;
    for (int s = 0; s < kSubjectCount; ++s) {
        const auto& score = row[store::kScoreColumns[s]];
        if (score.isNull()) {
            throw UserError("学号 " + std::to_string(student.studentId) +
                            " 有成绩没有值，无法计算均衡度");
        }
        student.values[s] = score.toDouble();
        student.bands[s] = scoreBand(student.values[s]);
        total += student.values[s];  // added in table order, as a division adds them
    }
    student.values[kTotal] = total;
    student.sex = trimmed(row["sex"].toText());
    student.category = fixedWidthText(row["pfType"]);
    student.pinyin = fixedWidthText(row["pingyin"]);
    student.fixed = !row["type"].isNull() && row["type"].toInt() == store::kFixed;
    student.classIndex = static_cast<int>(row["class_id"].toInt()) - 1;
    return student;
}

}  // namespace

std::vector<int> PlacedCohort::presentClasses() const {
    std::vector<int> classes;
    classes.reserve(students.size());
    for (const auto& student : students) {
        classes.push_back(student.classIndex);
    }
    return classes;
}

PlacedCohort loadPlacedCohort(db::Connection& connection, const std::string& table, int classCount,
                              const SubjectChoice& subjects) {
    PlacedCohort cohort;
    cohort.classCount = classCount;
    auto select = connection.prepare("select * from " + store::checkedTableName(table) +
                                     " where class_id between 1 and ? order by student_id");
    select.bind(1, classCount);
    for (const auto row : select.query()) {
        cohort.students.push_back(placedStudent(row));
        for (int q = 0; q < kQuantityCount; ++q) {
            cohort.taken[q] = cohort.taken[q] || cohort.students.back().values[q] != 0;
        }
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        cohort.taken[s] = cohort.taken[s] && subjects[s];
    }
    return cohort;
}

SubjectChoice projectSubjects(db::Connection& connection, int projectId) {
    SubjectChoice subjects = kEverySubject;
    if (const auto settings = store::loadSettings(connection, projectId)) {
        for (int s = 0; s < kSubjectCount; ++s) {
            subjects[s] = store::takesPart(*settings, s);
        }
    }
    return subjects;
}

PlacedCohort loadProjectCohort(db::Connection& connection, const store::CurrentProject& project) {
    return loadPlacedCohort(connection, store::checkedTableName(project.fbTable),
                            projectClassCount(connection, project),
                            projectSubjects(connection, project.id()));
}

}  // namespace qm::engine
