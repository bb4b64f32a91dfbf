#include <gtest/gtest.h>

#include "db/DbError.h"
#include "support/TempDatabase.h"

namespace qm::db {
namespace {

struct ArithmeticCase {
    const char* expression;
    Value expected;
};

// The original arithmetic of the system's statements, as SQLite now computes it.
TEST(SqlFunctions, KeepTheOriginalArithmetic) {
    test::TempDatabase database;
    const ArithmeticCase cases[] = {
        {"cint(2.5)", 2},        {"cint(3.5)", 4},          {"cint(-2.5)", -2},
        {"cint(-3.5)", -4},      {"cint(2.4999)", 2},       {"cint(7)", 7},
        {"int(-1.5)", -2},       {"int(1.5)", 1},           {"int(155/10.0)", 15},
        {"mod(85.5, 10)", 6},    {"mod(89.5, 10)", 0},      {"mod(7, -3)", 1},
        {"mod(-7, 3)", -1},      {"fdiv(10, 4)", 2.5},      {"fdiv(7, 7)", 1.0},
        {"amp(3, '班')", "3班"}, {"amp(NULL, '班')", "班"}, {"amp(2.0, '班')", "2班"},
        {"score_band(59.9)", 5}, {"score_band(100)", 10},   {"score_band(9.99)", 0},
        {"cint(NULL)", Value()}, {"mod(NULL, 3)", Value()},
    };
    for (const auto& c : cases) {
        const auto rows = database.connection().query(std::string("select ") + c.expression);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0][0], c.expected) << c.expression << " gave " << rows[0][0].toText();
    }
}

TEST(SqlFunctions, CountDividedByClassesIsFloatingPoint) {
    test::TempDatabase database;
    auto& connection = database.connection();
    connection.exec("create table t(x int)");
    for (int i = 0; i < 10; ++i) {
        connection.exec("insert into t values(" + std::to_string(i) + ")");
    }
    const auto rows = connection.query(
        "select fdiv(count(*), 3) as q, cint(fdiv(count(*), 4)) as "
        "target from t");
    EXPECT_DOUBLE_EQ(rows[0]["q"].toDouble(), 10.0 / 3.0);
    EXPECT_EQ(rows[0]["target"].toInt(), 2);  // 2.5 rounds to the even 2
}

TEST(SqlFunctions, DivisionByZeroIsAnError) {
    test::TempDatabase database;
    EXPECT_THROW(database.connection().query("select fdiv(1, 0)"), DbError);
    EXPECT_THROW(database.connection().query("select mod(5, 0.4)"), DbError);  // 0.4 rounds to 0
}

}  // namespace
}  // namespace qm::db
