#include <gtest/gtest.h>

#include "common/TextLines.h"

namespace qm {
namespace {

TEST(TextLines, LineBreaksAndTabsBecomeOneBlankEach) {
    EXPECT_EQ(singleLine("2026级\r\n高一\r三班\n\t复读"), "2026级 高一 三班  复读");
    EXPECT_EQ(singleLine("一行"), "一行");
}

}  // namespace
}  // namespace qm
