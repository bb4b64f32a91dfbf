#include <gtest/gtest.h>

#include "common/NumberText.h"

namespace qm {
namespace {

// The statistics' two-decimal form; a number too large for two decimals to mean anything keeps
// to 15 significant digits instead of printing dozens of invented ones.
TEST(NumberText, TwoDecimalFormStaysShortForHugeNumbers) {
    EXPECT_EQ(fixed82(78.35), "   78.35");
    EXPECT_EQ(fixed82(-1.2), "   -1.20");
    EXPECT_EQ(fixed82(9999999999999.0), "9999999999999.00");
    EXPECT_EQ(fixed82(1e60), "   1e+60");
    EXPECT_EQ(fixed82(-123456789012345678.0), "-1.23456789012346e+17");
}

// Figures with a fixed count of decimals, signed where a deviation is shown; a huge figure is
// written whole, never cut at a buffer's end.
TEST(NumberText, DecimalFormKeepsEveryDigit) {
    EXPECT_EQ(decimalText(0.456, 2), "0.46");
    EXPECT_EQ(decimalText(12.8, 1), "12.8");
    EXPECT_EQ(decimalText(7.0, 0), "7");
    EXPECT_EQ(decimalText(0.1, 2, true), "+0.10");
    EXPECT_EQ(decimalText(-2.1, 2, true), "-2.10");
    EXPECT_EQ(decimalText(1e80, 2).size(), std::size_t(84));
}

// A deviation a hair below zero (an average of all students that is not exact in binary) is
// written as zero: "-0.00" reads as a class below the average.
TEST(NumberText, FiguresThatRoundToZeroHaveNoMinus) {
    EXPECT_EQ(fixed82(-0.001), "    0.00");
    EXPECT_EQ(fixed82(-0.0), "    0.00");
    EXPECT_EQ(fixed82(-0.005001), "   -0.01");
    EXPECT_EQ(decimalText(-0.004, 2), "0.00");
    EXPECT_EQ(decimalText(-0.4, 0), "0");
    EXPECT_EQ(decimalText(-0.004, 2, true), "+0.00");
    EXPECT_EQ(decimalText(-0.006, 2, true), "-0.01");
    EXPECT_EQ(decimalText(-100.0, 2), "-100.00");
}

}  // namespace
}  // namespace qm
