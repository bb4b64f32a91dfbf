#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "db/Value.h"

namespace qm::store {

// The rules a value meets before it is stored in a student table, the same for the import, the
// student list's editing and the command line's load. Each gives the reason a value is refused,
// in words for the user and naming the column by its heading (姓名, 数学, 班级, ...), or nothing
// when the value may be stored. The caller says where the value stands (its row or cell).

// A text too long for its fixed-width column: "姓名最多50个字，这里有51个字". Trailing blanks
// do not count (they are the column's padding).
std::optional<std::string> textTooLong(std::string_view column, std::string_view heading,
                                       std::string_view text);

// A score beyond kLargestScore either way.
std::optional<std::string> scoreOutOfRange(std::string_view heading, double score);

// A class number that is none of the project's classes 1 to classCount. With notPlacedAllowed,
// 0 (the class of a student not yet placed) is accepted too.
std::optional<std::string> classOutsideProject(std::string_view heading, int classId,
                                               int classCount, bool notPlacedAllowed);

// What one column of a student row may hold, for a value given as text (a cell typed into the
// student list, a field of a loaded CSV, a cell of an imported row), in a project with classCount
// classes: the value to store, or the reason it is refused. 学号 a whole number; 班级 0 (not
// placed) or one of the project's classes; 类型 a placement code 0 to 3; scores numbers within
// the bounds of Limits.h; 性别 男 or 女; texts within their column's width. A number column
// needs a number: an empty score is refused too (a subject not taken is entered as 0), as the
// import refuses it. Blanks around a number are allowed; a text is stored as it stands.
std::variant<db::Value, std::string> studentValue(std::string_view column, std::string_view heading,
                                                  std::string_view text, int classCount);

// The pinyin of a name as the pingyin column holds it: cut to the column's width, so that a name
// that fits its own column is never refused because its pinyin is longer.
std::string pinyinForColumn(std::string_view pinyin);

}  // namespace qm::store
