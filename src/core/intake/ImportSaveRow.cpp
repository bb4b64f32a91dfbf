#include "intake/ImportSaveRow.h"

#include "common/NumberText.h"
#include "common/Utf8.h"
#include "intake/Pinyin.h"
#include "store/StudentValueRules.h"

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

const std::string& headingOf(int cell) {
    return kImportTitles[static_cast<std::size_t>(cell - 1)];
}

RowProblem cellProblem(int cell, const std::string& text, const char* expected) {
    return {headingOf(cell) + "「" + xmlSafeText(text) + "」" + expected};
}

// Reads the cells of one row, left to right, stopping at the first that cannot be stored.
class RowReader {
  public:
    RowReader(const PreviewGrid::Row& row, int classCount) : row_(row), classCount_(classCount) {}

    std::variant<ImportedStudent, RowProblem> read() {
        ImportedStudent student;
        student.studentId = static_cast<int>(
            checked(kStudentIdCell, xmlSafeText(cellText(kStudentIdCell))).toInt());
        if (problem_) {
            return *problem_;
        }
        student.recId = text(kRecIdCell);
        student.name = text(kNameCell, Blanks::Trimmed);
        student.nameTrimmed = student.name.size() != xmlSafeText(cellText(kNameCell)).size();
        student.sex = text(kSexCell, Blanks::AsciiTrimmed);
        for (std::size_t s = 0; s < student.scores.size() && !problem_; ++s) {
            student.scores[s] = score(kFirstScoreCell + static_cast<int>(s));
        }
        student.oralSchool = text(kOralSchoolCell);
        student.addr = text(kAddrCell);
        student.memo = text(kMemoCell);
        if (!problem_) {
            student.fixedClass = fixedClass(student.memo);
        }
        student.category = text(kCategoryCell);
        if (problem_) {
            return *problem_;
        }
        student.pinyin = store::pinyinForColumn(namePinyin(student.name));
        return student;
    }

  private:
    const std::string& cellText(int cell) const { return row_[static_cast<std::size_t>(cell)]; }

    // The value a cell's text stores in its column, by what a student row may hold; a problem
    // is kept when it is the row's first.
    db::Value checked(int cell, const std::string& text, bool scoreAtFault = false) {
        const std::string_view column = kImportFields[static_cast<std::size_t>(cell - 1)];
        auto value = store::studentValue(column, headingOf(cell), text, classCount_);
        if (auto* problem = std::get_if<std::string>(&value)) {
            if (!problem_) {
                problem_ = RowProblem{*problem, scoreAtFault};
            }
            return db::Value(0);  // not stored: the row is refused
        }
        return std::get<db::Value>(std::move(value));
    }

    // The text of a text cell as valid UTF-8, checked against its column's width. A name loses
    // its blanks around it, ideographic spaces too; a sex its ASCII blanks around it, as the
    // division compares it.
    enum class Blanks { Kept, AsciiTrimmed, Trimmed };
    std::string text(int cell, Blanks blanks = Blanks::Kept) {
        std::string value = xmlSafeText(cellText(cell));
        if (blanks == Blanks::AsciiTrimmed) {
            value = trimmed(value);
        } else if (blanks == Blanks::Trimmed) {
            value = trimmedBlanks(value);
        }
        if (cell != kSexCell) {
            checked(cell, value);
        } else if (auto tooLong = store::textTooLong("sex", headingOf(cell), value);
                   tooLong && !problem_) {
            // Only its width: the preview has warned of a sex other than 男 or 女, whom a
            // division leaves unplaced, and the teacher chose to store the rows all the same.
            problem_ = RowProblem{*tooLong};
        }
        return value;
    }

    double score(int cell) { return checked(cell, xmlSafeText(cellText(cell)), true).toDouble(); }

    // A 备注 that is not blank names the class the student is fixed to.
    std::optional<int> fixedClass(const std::string& memo) {
        if (trimmed(memo).empty()) {
            return std::nullopt;
        }
        const auto classId = parseWholeNumber(memo);
        if (!classId) {
            problem_ = cellProblem(kMemoCell, memo, "不是班级号");
            return std::nullopt;
        }
        if (auto outside =
                store::classOutsideProject(headingOf(kMemoCell), *classId, classCount_, false)) {
            problem_ = RowProblem{*outside};
            return std::nullopt;
        }
        return classId;
    }

    const PreviewGrid::Row& row_;
    int classCount_;
    std::optional<RowProblem> problem_;
};

}  // namespace

std::variant<ImportedStudent, RowProblem> readImportedStudent(const PreviewGrid::Row& row,
                                                              int classCount) {
    return RowReader(row, classCount).read();
}

}  // namespace qm::intake
