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

}  // namespace
}  // namespace qm
