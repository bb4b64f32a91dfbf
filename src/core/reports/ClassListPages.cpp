#include "reports/ClassListPages.h"

#include <algorithm>
#include <map>

#include "common/NumberText.h"
#include "common/TextLines.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "reports/ClassList.h"
#include "reports/StudentColumns.h"
#include "reports/StudentQuery.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

constexpr std::string_view kTotal = "total";

const ClassListScore* findScore(std::string_view name) {
    for (const ClassListScore& score : classListScores()) {
        if (name == score.column || name == score.heading) {
            return &score;
        }
    }
    return nullptr;
}

std::string scoreNames() {
    std::string names;
    for (const ClassListScore& score : classListScores()) {
        names += (names.empty() ? "" : ",") + std::string(score.heading);
    }
    return names;
}

const ClassListScore& knownScore(std::string_view name) {
    const ClassListScore* score = findScore(name);
    if (score == nullptr) {
        throw UserError("没有这个成绩列: " + std::string(name) + "（可以选: " + scoreNames() +
                        "）");
    }
    return *score;
}

std::string scoreText(const db::Row& student, std::string_view column) {
    if (column == kTotal) {
        return numberText(scoreTotal(student));
    }
    const db::Value& score = student[column];
    return score.isNull() ? std::string() : numberText(score.toDouble());
}

// A class without a number counts as not placed.
int classOf(const db::Row& student) {
    const db::Value& classId = student["class_id"];
    return classId.isNull() ? 0 : static_cast<int>(classId.toInt());
}

std::string classNames(const std::vector<int>& classes) {
    std::string names;
    for (int classId : classes) {
        names += (names.empty() ? "" : "、") + className(db::Value(classId));
    }
    return names;
}

}  // namespace

const std::vector<ClassListScore>& classListScores() {
    static const std::vector<ClassListScore> scores = [] {
        std::vector<ClassListScore> list;
        for (std::string_view column : {"chinese", "math", "english", "wuli", "zhengzhi", "lishi",
                                        "tiyu", "dili", "shengwu"}) {
            list.push_back({column, columnHeading(column)});
        }
        list.push_back({kTotal, "总分"});
        return list;
    }();
    return scores;
}

std::vector<std::string> parseClassListScores(std::string_view text) {
    std::vector<std::string> columns;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string name = trimmed(text.substr(start, comma - start));
        if (!name.empty()) {
            const std::string column(knownScore(name).column);
            if (std::find(columns.begin(), columns.end(), column) == columns.end()) {
                columns.push_back(column);
            }
        }
        start = comma + 1;
    }
    return columns;
}

std::string headCountText(const ClassListPage& page) {
    std::string text =
        "男生 " + std::to_string(page.boys) + " 人　女生 " + std::to_string(page.girls) + " 人";
    if (const int others = page.students - page.boys - page.girls; others > 0) {
        text += "　其他 " + std::to_string(others) + " 人";
    }
    return text + "　共 " + std::to_string(page.students) + " 人";
}

ClassListDocument makeClassListDocument(db::Connection& connection,
                                        const store::CurrentProject& project,
                                        const ClassListChoice& choice) {
    ClassListDocument document{trimmed(choice.school),
                               trimmed(singleLine(project.memo)),
                               {"序号", "学号", "姓名", "性别"},
                               {}};
    std::vector<std::string_view> scores;
    for (const std::string& name : choice.scores) {
        const ClassListScore& score = knownScore(name);
        scores.push_back(score.column);
        document.headings.emplace_back(score.heading);
    }

    const auto students = allStudents(connection, project.fbTable);
    if (students.empty()) {
        throw store::NoStudents();
    }
    std::map<int, ClassListPage> classes;
    for (const auto student : students) {
        const int classId = classOf(student);
        ClassListPage& page = classes[classId];
        page.classId = classId;
        const std::string sex = trimmed(student["sex"].toText());
        page.boys += sex == "男" ? 1 : 0;
        page.girls += sex == "女" ? 1 : 0;
        ++page.students;
        std::vector<std::string> row{std::to_string(page.students), student["student_id"].toText(),
                                     store::withoutPadding(student["student_name"].toText()), sex};
        for (std::string_view column : scores) {
            row.push_back(scoreText(student, column));
        }
        page.rows.push_back(std::move(row));
    }
    if (classes.size() == 1 && classes.begin()->first == 0) {
        throw UserError("这个项目还没有分班，请先分班，再打印班级名单");
    }

    std::vector<int> missing;
    for (int classId : choice.classes) {
        if (!classes.contains(classId)) {
            missing.push_back(classId);
        }
    }
    if (!missing.empty()) {
        throw UserError(classNames(missing) + "没有学生，没有名单可以打印");
    }
    const auto chosen = [&choice](int classId) {
        return choice.classes.empty() || std::find(choice.classes.begin(), choice.classes.end(),
                                                   classId) != choice.classes.end();
    };
    for (auto& [classId, page] : classes) {
        if (classId != 0 && chosen(classId)) {
            page.className = className(db::Value(classId));
            document.pages.push_back(std::move(page));
        }
    }
    if (classes.contains(0) && chosen(0)) {
        classes[0].className = className(db::Value(0));
        document.pages.push_back(std::move(classes[0]));
    }
    return document;
}

}  // namespace qm::reports
