#pragma once

#include <string_view>

namespace qm::intake {

// How a cell's number format shows its number: as the number, as a date or time of day (by the
// workbook's date system), or as an elapsed time such as [h]:mm:ss that counts its hours on past
// 24. The same in .xls and .xlsx workbooks.
enum class NumberShape : unsigned char { Plain, Date, Elapsed };

// The shape of a format code such as "yyyy-mm-dd", "[h]:mm:ss" or "0.00".
NumberShape shapeOfFormatCode(std::string_view code);

// The shape of a built-in number format, which a workbook names by its number alone.
NumberShape shapeOfBuiltInFormat(int id);

}  // namespace qm::intake
