#include "reports/StudentEditor.h"

#include <algorithm>

#include "common/UserError.h"
#include "common/Utf8.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "db/Value.h"
#include "intake/Pinyin.h"
#include "reports/StudentColumns.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"
#include "store/StudentValueRules.h"

namespace qm::reports {

namespace {

// The value to store for a text typed into a column of a project with classCount classes, or
// UserError naming the column.
db::Value checkedValue(const std::string& column, const std::string& text, int classCount) {
    auto value = store::studentValue(column, columnHeading(column), text, classCount);
    if (auto* problem = std::get_if<std::string>(&value)) {
        throw UserError(*problem);
    }
    return std::get<db::Value>(std::move(value));
}

// The typed texts as valid UTF-8 that an export can write.
StudentFields storableTexts(const StudentFields& typed) {
    StudentFields fields;
    for (const auto& [column, text] : typed) {
        fields.emplace_back(column, xmlSafeText(text));
    }
    return fields;
}

int classCountOf(db::Connection& connection, const std::string& table) {
    return store::findProjectOfTable(connection, table).num;
}

bool studentExists(db::Connection& connection, const std::string& table, int studentId) {
    auto statement = connection.prepare("select count(*) from " + table + " where student_id=:id");
    return statement.bind(":id", studentId).query()[0][0].toInt() > 0;
}

void refuseTakenNumber(db::Connection& connection, const std::string& table, int studentId) {
    if (studentExists(connection, table, studentId)) {
        throw UserError("学号 " + std::to_string(studentId) + " 已经存在");
    }
}

UserError noSuchStudent(int studentId) {
    return UserError("没有学号为 " + std::to_string(studentId) + " 的学生");
}

// A name typed without its pinyin gets the pinyin of the new name, as an imported name does:
// the division keeps students of the same pinyin apart, and a stale pinyin would keep the wrong
// students apart.
StudentFields withPinyinOfName(const StudentFields& fields) {
    StudentFields result = fields;
    const auto has = [&](const char* column) {
        return std::any_of(fields.begin(), fields.end(),
                           [&](const auto& field) { return field.first == column; });
    };
    if (!has("pingyin")) {
        for (const auto& [column, text] : fields) {
            if (column == "student_name") {
                result.emplace_back("pingyin", store::pinyinForColumn(intake::namePinyin(text)));
            }
        }
    }
    return result;
}

}  // namespace

void updateStudent(db::Connection& connection, const std::string& table, int studentId,
                   const StudentFields& typed) {
    const std::string& name = store::checkedTableName(table);
    const StudentFields changes = withPinyinOfName(storableTexts(typed));
    db::Transaction transaction(connection);  // checked against the class count of now
    const int classCount = classCountOf(connection, name);
    std::vector<db::Value> values;
    std::string assignments;
    for (const auto& [column, text] : changes) {
        values.push_back(checkedValue(column, text, classCount));
        assignments += (assignments.empty() ? "" : ",") + column + "=?";
    }
    if (!studentExists(connection, name, studentId)) {
        throw noSuchStudent(studentId);
    }
    if (values.empty()) {
        return;
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
        if (changes[i].first == "student_id" && values[i].toInt() != studentId) {
            refuseTakenNumber(connection, name, static_cast<int>(values[i].toInt()));
        }
    }
    auto update =
        connection.prepare("update " + name + " set " + assignments + " where student_id=?");
    for (std::size_t i = 0; i < values.size(); ++i) {
        update.bind(static_cast<int>(i + 1), values[i]);
    }
    update.bind(static_cast<int>(values.size() + 1), studentId).execute();
    transaction.commit();
}

void insertStudent(db::Connection& connection, const std::string& table,
                   const StudentFields& typed) {
    const std::string& name = store::checkedTableName(table);
    const StudentFields values = withPinyinOfName(storableTexts(typed));
    db::Transaction transaction(connection);
    const int classCount = classCountOf(connection, name);
    // Every column starts as a new, unplaced student without scores has it.
    std::vector<db::Value> row;
    for (auto column : store::kStudentColumns) {
        const bool text = store::textColumnWidth(column) > 0;
        row.push_back(text ? db::Value("") : db::Value(0));
    }
    bool numberGiven = false;
    for (const auto& [column, text] : values) {
        const auto position =
            std::find(store::kStudentColumns.begin(), store::kStudentColumns.end(), column);
        db::Value value = checkedValue(column, text, classCount);
        row[static_cast<std::size_t>(position - store::kStudentColumns.begin())] = value;
        numberGiven = numberGiven || column == "student_id";
    }
    if (!numberGiven) {
        throw UserError("新学生必须有学号");
    }
    refuseTakenNumber(connection, name, static_cast<int>(row[0].toInt()));
    auto insert = connection.prepare(store::insertStudentSql(name));
    for (std::size_t i = 0; i < row.size(); ++i) {
        insert.bind(static_cast<int>(i + 1), row[i]);
    }
    insert.execute();
    transaction.commit();
}

void deleteStudent(db::Connection& connection, const std::string& table, int studentId) {
    const std::string& name = store::checkedTableName(table);
    auto remove = connection.prepare("delete from " + name + " where student_id=:id");
    if (remove.bind(":id", studentId).execute() == 0) {
        throw noSuchStudent(studentId);
    }
}

}  // namespace qm::reports
