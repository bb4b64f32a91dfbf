#pragma once

#include <array>
#include <string>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::reports {

// One row of the result grid: row number, 学号, 登分号, 姓名, 性别, the nine scores (数学, 英语,
// 语文, 物理, 政治, 历史, 体育, 地理, 生物), 总分, 毕业学校, 地址, and the class as "3班" (未分班
// for class 0).
using ResultGridRow = std::array<std::string, 18>;

// The rows of the result grid of a student table (a project's table or its twin), ordered by
// class_id then student_id. Numbers in their shortest text (85, 85.5); texts as stored; a
// missing value shows as empty text.
std::vector<ResultGridRow> resultGridRows(db::Connection& connection, const std::string& table);

}  // namespace qm::reports
