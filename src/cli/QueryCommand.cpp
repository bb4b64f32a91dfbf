// The student list's query: students by number, name part, sex, class and score ranges; the
// classes that occur; all students by class.
#include <algorithm>
#include <ostream>

#include "CliCommand.h"
#include "reports/ClassList.h"
#include "reports/StudentColumns.h"
#include "reports/StudentQuery.h"
#include "reports/TextTable.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::cli {

namespace {

const std::set<std::string> kConditionOptions = {
    "no",      "name",         "sex",        "class",        "math-from",
    "math-to", "english-from", "english-to", "chinese-from", "chinese-to"};

reports::SexFilter sexFilter(const std::string& text) {
    if (text == "男") {
        return reports::SexFilter::Boys;
    }
    if (text == "女") {
        return reports::SexFilter::Girls;
    }
    if (text == "全部") {
        return reports::SexFilter::All;
    }
    throw UsageError("--sex 只能是 男、女 或 全部: " + text);
}

reports::StudentQuery queryOf(const CliArgs& args) {
    auto text = [&](const std::string& option) { return args.value(option).value_or(""); };
    reports::StudentQuery query{
        .studentNumber = text("no"),
        .namePart = text("name"),
        .sex = sexFilter(args.value("sex").value_or("全部")),
        .math = {text("math-from"), text("math-to")},
        .english = {text("english-from"), text("english-to")},
        .chinese = {text("chinese-from"), text("chinese-to")},
    };
    if (const auto classId = args.value("class")) {
        query.classId = wholeNumberArg(*classId, "--class");
    }
    return query;
}

// The list's columns, titles first.
reports::TextRows listRows(const db::ResultSet& students) {
    reports::TextRows rows(1);
    for (const auto& column : reports::kListColumns) {
        rows[0].emplace_back(column.heading);
    }
    for (const auto student : students) {
        auto& row = rows.emplace_back();
        for (const auto& column : reports::kListColumns) {
            row.push_back(store::withoutPadding(student[column.column].toText()));
        }
    }
    return rows;
}

int queryCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, kConditionOptions, {"classes", "by-class", "csv"});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const bool anyCondition = std::any_of(kConditionOptions.begin(), kConditionOptions.end(),
                                          [&](const auto& name) { return args.value(name); });
    if ((args.flag("classes") || args.flag("by-class")) && anyCondition) {
        throw UsageError("--classes 和 --by-class 不能与查询条件同时使用");
    }
    const auto project = store::openProject(context.connection(), id);
    const bool csv = args.flag("csv");

    if (args.flag("classes")) {
        context.out << "所有班级\n";
        for (const auto& entry : reports::listClasses(context.connection(), project.fbTable)) {
            context.out << "  " << entry.name << "\n";
        }
        return 0;
    }
    const auto students =
        args.flag("by-class")
            ? reports::allStudents(context.connection(), project.fbTable)
            : reports::findStudents(context.connection(), project.fbTable, queryOf(args));
    const auto rows = listRows(students);
    context.out << (csv ? reports::csvText(rows) : reports::alignedText(rows));
    if (!csv) {
        context.out << "共 " << students.size() << " 名学生\n";
    }
    return 0;
}

const CommandRegistration registration(
    "query",
    "ID [--no N] [--name TEXT] [--sex 男|女|全部] [--class N] [--math-from X --math-to Y]"
    " [--english-from X --english-to Y] [--chinese-from X --chinese-to Y] [--csv]"
    " | ID --classes | ID --by-class [--csv]",
    "学生名单查询: 按学号排列符合全部条件的学生 (分数范围两端都给出才生效); --classes 列出班级;"
    " --by-class 按班级、学号列出全部学生",
    queryCommand);

}  // namespace

}  // namespace qm::cli
