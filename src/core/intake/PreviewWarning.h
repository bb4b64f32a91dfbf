#pragma once

#include <string>

#include "PreviewGrid.h"

namespace qm::intake {

// What looks wrong with rows read for the import, said before they are stored, so that a file
// that is no list of students (notes, another table) is not stored unnoticed: the title row is
// not the import layout's (which titles differ, and what they are), no student was read, or
// students lack a name or a sex, or have a sex that is neither 男 nor 女 (how many, and in which
// rows), or the reading stopped at an empty 学号 with filled rows at or below it (which row, and
// how many filled rows were not read). Empty text when all is well. A title matches when, blanks
// left out, it is or contains the layout's title (数学成绩 for 数学).
std::string previewWarning(const PreviewGrid& grid);

}  // namespace qm::intake
