#include "reports/StudentQuery.h"

#include <utility>
#include <vector>

#include "common/NumberText.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "db/Connection.h"
#include "reports/StudentColumns.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

bool isFilled(const std::string& box) {
    return !trimmed(box).empty();
}

double numberInBox(const std::string& text, const std::string& box) {
    const auto number = parseNumber(text);
    if (!number) {
        throw UserError(box + "不是数字: " + text);
    }
    return *number;
}

// The name part as a LIKE pattern that matches it literally: % _ and \ lose their meaning.
std::string containsPattern(const std::string& part) {
    std::string pattern = "%";
    for (char c : part) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "%";
}

}  // namespace

db::ResultSet findStudents(db::Connection& connection, const std::string& table,
                           const StudentQuery& query) {
    std::string sql = "select * from " + store::checkedTableName(table) + " where 1=1";
    std::vector<std::pair<std::string, db::Value>> values;
    // Appends a piece of condition ending in a parameter, and the value bound to it.
    auto condition = [&](const std::string& piece, const std::string& parameter, db::Value value) {
        sql += piece + parameter;
        values.emplace_back(parameter, std::move(value));
    };

    if (isFilled(query.studentNumber)) {
        condition(" and student_id=", ":no", numberInBox(query.studentNumber, "考号 "));
    }
    // Blanks do not count, in the name typed nor in the names stored: "卢杰霞" finds "卢 杰霞".
    if (const std::string part = withoutBlanks(query.namePart); !part.empty()) {
        condition(" and replace(replace(replace(student_name,' ',''),char(12288),''),char(9),'')"
                  " like ",
                  ":namePart", containsPattern(part));
        sql += " escape '\\'";
    }
    if (query.sex != SexFilter::All) {
        condition(" and trim(sex)=", ":inSex", query.sex == SexFilter::Boys ? "男" : "女");
    }
    if (query.classId) {
        condition(" and class_id=", ":cid", *query.classId);
    }
    const std::pair<const ScoreRange&, std::string_view> ranges[] = {
        {query.math, "math"}, {query.chinese, "chinese"}, {query.english, "english"}};
    for (const auto& [range, column] : ranges) {
        if (!isFilled(range.from) || !isFilled(range.to)) {
            continue;
        }
        const std::string field(column);
        const std::string subject(columnHeading(column));
        const double from = numberInBox(range.from, subject + " 的下限");
        const double to = numberInBox(range.to, subject + " 的上限");
        condition(" and " + field + " between ", ":" + field + "From", from);
        condition(" and ", ":" + field + "To", to);
    }
    sql += " order by student_id";

    auto statement = connection.prepare(sql);
    for (const auto& [name, value] : values) {
        statement.bind(name, value);
    }
    return statement.query();
}

db::ResultSet studentsOfClass(db::Connection& connection, const std::string& table, int classId) {
    auto statement = connection.prepare("select * from " + store::checkedTableName(table) +
                                        " where class_id=:cid order by student_id");
    return statement.bind(":cid", classId).query();
}

db::ResultSet allStudents(db::Connection& connection, const std::string& table) {
    return connection.query("select * from " + store::checkedTableName(table) +
                            " order by class_id,student_id");
}

}  // namespace qm::reports
