#include "intake/ImportSaveRow.h"

#include "common/NumberText.h"
#include "intake/Pinyin.h"

namespace qm::intake {

namespace {

// Cell positions of the import layout.
constexpr int kStudentIdCell = 1;
constexpr int kRecIdCell = 2;
constexpr int kNameCell = 3;
constexpr int kSexCell = 4;
constexpr int kFirstScoreCell = 5;
constexpr int kOralSchoolCell = 14;
constexpr int kAddrCell = 15;
constexpr int kMemoCell = 16;
constexpr int kCategoryCell = 17;

std::string cellProblem(int cell, const std::string& text, const char* expected) {
    return kImportTitles[static_cast<std::size_t>(cell - 1)] + "「" + text + "」" + expected;
}

}  // namespace

std::variant<ImportedStudent, std::string> readImportedStudent(const PreviewGrid::Row& row) {
    ImportedStudent student;
    const auto id = parseWholeNumber(row[kStudentIdCell]);
    if (!id) {
        return cellProblem(kStudentIdCell, row[kStudentIdCell], "不是整数");
    }
    student.studentId = *id;
    for (std::size_t s = 0; s < student.scores.size(); ++s) {
        const int cell = kFirstScoreCell + static_cast<int>(s);
        const auto score = parseNumber(row[static_cast<std::size_t>(cell)]);
        if (!score) {
            return cellProblem(cell, row[static_cast<std::size_t>(cell)], "不是数字");
        }
        student.scores[s] = *score;
    }
    student.recId = row[kRecIdCell];
    student.name = row[kNameCell];
    student.sex = trimmed(row[kSexCell]);
    student.oralSchool = row[kOralSchoolCell];
    student.addr = row[kAddrCell];
    student.pinyin = namePinyin(student.name);
    student.memo = row[kMemoCell];
    student.category = row[kCategoryCell];
    return student;
}

FixedClass readFixedClass(const std::string& memo) {
    FixedClass result;
    if (trimmed(memo).empty()) {
        return result;
    }
    const auto classId = parseWholeNumber(memo);
    if (!classId) {
        result.problem = cellProblem(kMemoCell, memo, "不是班级号");
        return result;
    }
    result.fixed = true;
    result.classId = *classId;
    return result;
}

}  // namespace qm::intake
