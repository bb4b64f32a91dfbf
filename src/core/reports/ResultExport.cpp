#include "reports/ResultExport.h"

#include <xlsxwriter.h>

#include <array>

#include "db/Connection.h"
#include "reports/ClassList.h"
#include "reports/StudentColumns.h"
#include "reports/XlsxWriter.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

// What a column of the sheet holds.
enum class Content { Number, Text, Total, ClassName };

struct SheetColumn {
    std::string_view field;  // the student table's column, if any
    Content content;
    double width;
};

constexpr std::array<SheetColumn, 17> kSheetColumns = {{
    {"student_id", Content::Number, 10},
    {"rec_id", Content::Text, 12},
    {"student_name", Content::Text, 10},
    {"sex", Content::Text, 6},
    {"math", Content::Number, 7},
    {"english", Content::Number, 7},
    {"chinese", Content::Number, 7},
    {"wuli", Content::Number, 7},
    {"zhengzhi", Content::Number, 7},
    {"lishi", Content::Number, 7},
    {"tiyu", Content::Number, 7},
    {"dili", Content::Number, 7},
    {"shengwu", Content::Number, 7},
    {"", Content::Total, 8},
    {"oral_school", Content::Text, 24},
    {"addr", Content::Text, 30},
    {"", Content::ClassName, 8},
}};

std::string_view titleOf(const SheetColumn& column) {
    switch (column.content) {
        case Content::Total:
            return "总分";
        case Content::ClassName:
            return "班名";
        default:
            return columnHeading(column.field);
    }
}

}  // namespace

int exportResults(db::Connection& connection, const std::string& table,
                  const ExportTarget& target) {
    XlsxWriter workbook(ExportTarget(target.path, connection.path(), target.replaceAnyFile));
    const auto students = connection.query("select * from " + store::checkedTableName(table) +
                                           " order by class_id,student_id");
    lxw_worksheet* sheet = workbook.addSheet(kResultSheetName);
    lxw_format* title = workbook.addFormat();
    format_set_bold(title);

    for (std::size_t c = 0; c < kSheetColumns.size(); ++c) {
        workbook.writeText(sheet, 0, c, std::string(titleOf(kSheetColumns[c])), title);
        workbook.setColumnWidth(sheet, c, kSheetColumns[c].width);
    }
    worksheet_freeze_panes(sheet, 1, 0);

    std::size_t row = 1;
    for (const auto student : students) {
        for (std::size_t c = 0; c < kSheetColumns.size(); ++c) {
            const SheetColumn& column = kSheetColumns[c];
            switch (column.content) {
                case Content::Number:
                    if (const auto& value = student[column.field]; !value.isNull()) {
                        workbook.writeNumber(sheet, row, c, value.toDouble());
                    }
                    break;
                case Content::Text:
                    if (const auto text = store::withoutPadding(student[column.field].toText());
                        !text.empty()) {
                        workbook.writeText(sheet, row, c, text);
                    }
                    break;
                case Content::Total:
                    workbook.writeNumber(sheet, row, c, scoreTotal(student));
                    break;
                case Content::ClassName:
                    workbook.writeText(sheet, row, c, className(student["class_id"]));
                    break;
            }
        }
        ++row;
    }
    workbook.save();
    return static_cast<int>(students.size());
}

}  // namespace qm::reports
