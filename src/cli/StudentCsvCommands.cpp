// Students as CSV: listing a project's students, and adding students from the same layout.
#include <map>
#include <ostream>

#include "CliCommand.h"
#include "common/Csv.h"
#include "common/NumberText.h"
#include "common/UserError.h"
#include "common/Utf8.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "intake/CsvWorkbook.h"
#include "reports/StudentColumns.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"
#include "store/StudentValueRules.h"

namespace qm::cli {

namespace {

std::vector<std::string> header() {
    return {store::kStudentColumns.begin(), store::kStudentColumns.end()};
}

int studentsCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {"csv"});
    args.expectPositionals(1);
    if (!args.flag("csv")) {
        throw UsageError("目前只支持 --csv 格式");
    }
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const auto project = store::openProject(context.connection(), id);
    const auto rows = context.connection().query("select * from " + project.fbTable +
                                                 " order by class_id, student_id");
    context.out << csvRecord(header());
    for (const auto row : rows) {
        std::vector<std::string> fields;
        for (auto column : store::kStudentColumns) {
            fields.push_back(row[column].toText());
        }
        context.out << csvRecord(fields);
    }
    return 0;
}

// The value of one field of a row being loaded into a project with classCount classes, checked
// as the import and the student list check it; texts are stored as valid UTF-8.
db::Value fieldValue(std::string_view column, const std::string& field, std::size_t rowNumber,
                     int classCount) {
    const bool text = store::textColumnWidth(column) > 0;
    auto value = store::studentValue(column, reports::columnHeading(column),
                                     text ? xmlSafeText(field) : field, classCount);
    if (auto* problem = std::get_if<std::string>(&value)) {
        throw UserError("第" + std::to_string(rowNumber) + "行: " + *problem);
    }
    return std::get<db::Value>(std::move(value));
}

int loadCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {});
    args.expectPositionals(2);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const std::string& path = args.positional(1, "FILE.csv");
    const intake::CsvWorkbook file(path);
    const auto& records = file.records();
    if (records.empty() || records[0] != header()) {
        throw UserError("第1行必须是这20个列名: " + csvRecord(header()));
    }
    const auto project = store::openProject(context.connection(), id);
    auto& connection = context.connection();

    db::Transaction transaction(connection);  // checked against the project as it is now
    const int classCount = store::findProject(connection, id).num;
    auto exists =
        connection.prepare("select count(*) as n from " + project.fbTable + " where student_id=?");
    auto insert = connection.prepare(store::insertStudentSql(project.fbTable));
    std::map<long long, std::size_t> seen;  // student_id -> row number
    for (std::size_t r = 1; r < records.size(); ++r) {
        const std::size_t rowNumber = r + 1;
        const auto& record = records[r];
        const std::string where = "第" + std::to_string(rowNumber) + "行: ";
        if (record.size() != store::kStudentColumns.size()) {
            throw UserError(where + "应有20列，实际有" + std::to_string(record.size()) + "列");
        }
        for (std::size_t c = 0; c < record.size(); ++c) {
            insert.bind(static_cast<int>(c) + 1,
                        fieldValue(store::kStudentColumns[c], record[c], rowNumber, classCount));
        }
        const long long studentId = *parseWholeNumber(record[0]);
        if (const auto earlier = seen.find(studentId); earlier != seen.end()) {
            throw UserError(where + "学号 " + std::to_string(studentId) + " 与第" +
                            std::to_string(earlier->second) + "行重复");
        }
        seen.emplace(studentId, rowNumber);
        exists.bind(1, static_cast<std::int64_t>(studentId));
        if (exists.query()[0]["n"].toInt() > 0) {
            throw UserError(where + "学号 " + std::to_string(studentId) + " 已在该项目中");
        }
        try {
            insert.execute();
        } catch (const db::DbError& error) {
            throw UserError(where + error.what());
        }
    }
    transaction.commit();
    context.out << "已加入 " << records.size() - 1 << " 名学生\n";
    return 0;
}

const CommandRegistration studentsRegistration(
    "students", "ID --csv", "以 CSV (UTF-8) 列出项目的学生: 20 个列名一行, 按班级、学号排序",
    studentsCommand);
const CommandRegistration loadRegistration(
    "load", "ID FILE.csv",
    "从 CSV 文件 (与 students --csv 相同的 20 列) 加入学生; 有错误时一个也不加入", loadCommand);

}  // namespace

}  // namespace qm::cli
