#pragma once

#include <array>
#include <string>
#include <variant>

#include "intake/PreviewGrid.h"

namespace qm::intake {

// The values one previewed row stores, taken from its cells by position (cell c holds column c
// of the import layout, whatever the title shown above it).
struct ImportedStudent {
    int studentId = 0;
    std::string recId;
    std::string name;  // as in the cell, blanks kept
    std::string sex;   // blanks around it removed
    std::array<double, 9>
        scores{};  // math, english, chinese, wuli, zhengzhi, lishi, tiyu, dili, shengwu
    std::string oralSchool;
    std::string addr;
    std::string pinyin;  // of the name
    std::string memo;    // 备注 as in the cell; a class number when not blank
    std::string category;
};

// Reads one previewed row. 学号 must be a whole number and each score a number; otherwise the
// result is the reason the row cannot be stored, naming the column and the cell's text.
std::variant<ImportedStudent, std::string> readImportedStudent(const PreviewGrid::Row& row);

// The class a 备注 cell fixes the student to.
struct FixedClass {
    bool fixed = false;  // false for a blank cell: the student is not fixed
    int classId = 0;
    std::string problem;  // not empty when the cell is not a class number
};
FixedClass readFixedClass(const std::string& memo);

}  // namespace qm::intake
