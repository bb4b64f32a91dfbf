#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::test {

// One student row for a fixture. Scores in table order: math, english, chinese, wuli, zhengzhi,
// lishi, tiyu, dili, shengwu.
struct StudentRow {
    int student_id = 0;
    std::string student_name;
    std::string sex;
    int class_id = 0;
    std::array<double, 9> scores{};
    int type = 0;
    std::string pingyin;
    std::optional<std::string> pfType;  // nothing: NULL
    std::string rec_id;
    std::string oral_school;
    std::string addr;
    std::string fbMemo;
};

// Inserts the rows into a student table, in the given order, in one transaction.
void insertStudents(db::Connection& connection, const std::string& table,
                    const std::vector<StudentRow>& students);

}  // namespace qm::test
