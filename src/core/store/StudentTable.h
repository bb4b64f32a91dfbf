#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/UserError.h"

namespace qm::store {

// The 20 columns of a project's student table (and of its twin), in table order.
inline constexpr std::array<std::string_view, 20> kStudentColumns = {
    "student_id",  "rec_id", "student_name", "sex",     "class_id", "math",  "english",
    "chinese",     "wuli",   "zhengzhi",     "lishi",   "tiyu",     "dili",  "shengwu",
    "oral_school", "addr",   "type",         "pingyin", "fbMemo",   "pfType"};

// The nine score columns in table order.
inline constexpr std::array<std::string_view, 9> kScoreColumns = {
    "math", "english", "chinese", "wuli", "zhengzhi", "lishi", "tiyu", "dili", "shengwu"};

// The fixed-width text columns with their widths in characters.
struct TextColumn {
    std::string_view name;
    int width;
};
inline constexpr std::array<TextColumn, 8> kTextColumns = {{{"rec_id", 100},
                                                            {"student_name", 50},
                                                            {"sex", 1},
                                                            {"oral_school", 100},
                                                            {"addr", 100},
                                                            {"pingyin", 100},
                                                            {"fbMemo", 100},
                                                            {"pfType", 10}}};

// The width in characters of a fixed-width text column; 0 for the other columns.
int textColumnWidth(std::string_view column);
// A value of a fixed-width text column without the trailing blanks that may pad it: they count
// neither towards its width nor when it is compared, and exports and lists leave them out.
std::string withoutPadding(std::string_view text);

// What every command that needs students says about a project that has none.
inline constexpr const char* kNoStudentsMessage = "该分班项目还没有学生数据";

// The refusal of work that needs the project's students when it has none.
struct NoStudents : UserError {
    NoStudents() : UserError(kNoStudentsMessage) {}
};

// Placement codes of the type column.
enum PlaceType : int {
    kNotPlaced = 0,  // waiting for a division
    kPlaced = 1,     // placed by a division run
    kFixed = 2,      // fixed to its class in advance; never reset
    kCategory = 3,   // placed in the category stage of a division
};

// A placement code as text, for the statements that compare the type column with it: "2" for
// kFixed.
std::string placeCode(PlaceType type);

// "fb_" + id: the student table of project id.
std::string studentTableName(int projectId);
// "rb_" + the student table's name: its twin, the division engine's scratch table.
std::string twinTableName(const std::string& studentTable);
// True for names of the two forms above. Table names are put into SQL text, so every name that
// did not come from these functions is checked against this first.
bool isProjectTableName(std::string_view name);
// Raises UserError unless isProjectTableName(name).
const std::string& checkedTableName(const std::string& name);

// The CREATE TABLE statement of a student table. Text columns of fixed width refuse longer
// values and ignore trailing blanks when compared or grouped; number columns refuse text.
std::string createStudentTableSql(const std::string& name);

// "insert into NAME(student_id,...,pfType) values(?,...,?)": one student row, all 20 columns
// bound by position in table order.
std::string insertStudentSql(const std::string& name);

}  // namespace qm::store
