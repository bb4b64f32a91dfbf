#pragma once

#include <string>

#include "reports/XlsxWriter.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

inline constexpr const char* kResultSheetName = "分班结果";

// Writes the division result of a student table to a new .xlsx workbook at path, on the sheet
// 分班结果: a title row, then one row per student ordered by class and student number, with
// 学号 登分号 姓名 性别, the nine scores, 总分 (their sum), 毕业学校 地址 and 班名 (such as 3班).
// Numbers are numeric cells; texts lose their trailing blanks. Returns the number of students.
// The target is refused as ExportTarget says; the connection's database is never written over.
int exportResults(db::Connection& connection, const std::string& table,
                  const ExportTarget& target);

}  // namespace qm::reports
