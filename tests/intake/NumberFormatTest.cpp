// Which number formats show dates, times and elapsed times, in .xls and .xlsx alike.
#include <gtest/gtest.h>

#include "intake/NumberFormat.h"

namespace qm::intake {
namespace {

TEST(NumberFormat, ShapeOfFormatCodes) {
    using enum NumberShape;
    const std::vector<std::pair<std::string, NumberShape>> cases = {
        {"General", Plain},
        {"G/通用格式", Plain},
        {"0.00", Plain},
        {"#,##0;[Red]-#,##0", Plain},
        {"0.00E+00", Plain},
        {"\"day\" 0", Plain},    // letters in quotes
        {"0\\h", Plain},         // an escaped letter
        {"_(* #,##0_)", Plain},  // padding
        {"yyyy-mm-dd", Date},
        {"yyyy\"年\"m\"月\"d\"日\"", Date},
        {"[$-804]aaaa", Plain},
        {"[$-F800]dddd, mmmm dd, yyyy", Date},
        {"h:mm AM/PM", Date},
        {"mm:ss.0", Date},
        {"[Red]yyyy-mm-dd", Date},
        {"0;yyyy", Plain},  // only the first section counts
        {"[h]:mm:ss", Elapsed},
        {"[mm]:ss", Elapsed},
        {"[H]:MM:SS", Elapsed},
        {"HH[MM]", Elapsed},
        {"[h]", Elapsed},
        {"[ss]", Elapsed},
        {"[H]", Plain},  // a count in capitals alone shows the number
        {"[Blue]General", Plain},
    };
    for (const auto& [code, shape] : cases) {
        EXPECT_EQ(shapeOfFormatCode(code), shape) << code;
    }
}

TEST(NumberFormat, ShapeOfBuiltInFormats) {
    using enum NumberShape;
    const std::vector<std::pair<int, NumberShape>> cases = {
        {0, Plain}, {2, Plain},  {10, Plain}, {14, Date},    {22, Date}, {27, Date},
        {36, Date}, {37, Plain}, {45, Date},  {46, Elapsed}, {47, Date}, {49, Plain},
        {57, Date}, {59, Plain}, {76, Date},  {164, Plain},
    };
    for (const auto& [id, shape] : cases) {
        EXPECT_EQ(shapeOfBuiltInFormat(id), shape) << id;
    }
}

}  // namespace
}  // namespace qm::intake
