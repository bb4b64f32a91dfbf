#pragma once

#include <string>

namespace qm::test {

// A spreadsheet (CSV) of `count` students numbered from `firstId`, in the import layout: scores
// drawn from a fixed seed, every 97th student fixed by 备注 to one of the classes 1 to 40, every
// 13th in a category.
std::string studentsCsv(int firstId, int count, unsigned seed);

}  // namespace qm::test
