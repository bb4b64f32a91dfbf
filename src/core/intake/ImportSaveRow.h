#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "intake/PreviewGrid.h"

namespace qm::intake {

// The values one previewed row stores, taken from its cells by position (cell c holds column c
// of the import layout, whatever the title shown above it). Texts are valid UTF-8 that an export
// can write (see xmlSafeText).
struct ImportedStudent {
    int studentId = 0;
    std::string recId;
    std::string name;  // as in the cell, blanks around it removed (a search would miss them)
    bool nameTrimmed = false;  // whether the cell had blanks around the name
    std::string sex;   // blanks around it removed
    std::array<double, 9>
        scores{};  // math, english, chinese, wuli, zhengzhi, lishi, tiyu, dili, shengwu
    std::string oralSchool;
    std::string addr;
    std::string pinyin;             // of the name, cut to the width of the pinyin column
    std::string memo;               // 备注 as in the cell
    std::optional<int> fixedClass;  // the class a 备注 fixes the student to
    std::string category;
};

// Why a row cannot be stored: the reason, naming the column by its heading and the cell's text
// where it is short, and whether a score is at fault (the user is then reminded that a subject
// not taken is entered as 0).
struct RowProblem {
    std::string reason;
    bool scoreAtFault = false;
};

// Reads one previewed row of a project with classCount classes, checking every value the way
// the student table would take it: 学号 a whole number, each score a number within the bounds
// of Limits.h, each text within its column's width, and a 备注 that is not blank a class number
// from 1 to classCount. The first cell at fault, from left to right, gives the problem.
std::variant<ImportedStudent, RowProblem> readImportedStudent(const PreviewGrid::Row& row,
                                                              int classCount);

}  // namespace qm::intake
