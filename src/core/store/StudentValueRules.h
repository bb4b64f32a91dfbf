#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// The pinyin of a name as the pingyin column holds it: cut to the column's width, so that a name
// that fits its own column is never refused because its pinyin is longer.
std::string pinyinForColumn(std::string_view pinyin);

}  // namespace qm::store
