#include <gtest/gtest.h>

#include "db/DbError.h"
#include "db/EngineError.h"
#include "db/Transaction.h"
#include "support/TempDatabase.h"

namespace qm::db {
namespace {

class ConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        connection().exec("create table t(id int primary key, name text, score float)");
    }
    Connection& connection() { return database.connection(); }
    int rowCount() { return static_cast<int>(connection().query("select * from t").size()); }
    test::TempDatabase database;
};

TEST_F(ConnectionTest, BindsByPositionAndByNameAndKeepsNullDistinct) {
    auto insert = connection().prepare("insert into t values(:id, :name, ?3)");
    insert.bind(":id", 1).bind("name", "O'Brien; drop table t").bind(3, 85.5);
    EXPECT_EQ(insert.execute(), 1);
    insert.bind(":id", 2).bind(":name", Value()).bind(3, Value());
    insert.execute();

    const auto rows = connection().query("select id, name as who, score from t order by id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["who"].toText(), "O'Brien; drop table t");
    EXPECT_EQ(rows[0][2].toDouble(), 85.5);
    EXPECT_EQ(rows[0]["SCORE"].toText(), "85.5");  // names are case-insensitive
    EXPECT_TRUE(rows[1]["who"].isNull());
    EXPECT_FALSE(Value(0).isNull());
    EXPECT_NE(Value(""), Value());
    EXPECT_THROW(rows[1]["score"].toDouble(), DbError);
    EXPECT_THROW(rows[0]["missing"], DbError);
}

// The user reads a Chinese message; the engine's own text follows in brackets for support.
TEST_F(ConnectionTest, ErrorsAreChineseWithTheEnginesTextInBrackets) {
    connection().exec("insert into t values(1,'a',1)");
    const struct {
        std::string sql;
        std::string message;
        bool constraint;
    } cases[] = {
        {"select * from no_such_table", "数据库操作出错（no such table: no_such_table）", false},
        {"insert into t values(1,'b',2)", "与已有的数据重复（UNIQUE constraint failed: t.id）",
         true},
    };
    for (const auto& c : cases) {
        try {
            connection().prepare(c.sql).execute();
            ADD_FAILURE() << "no error: " << c.sql;
        } catch (const DbError& error) {
            EXPECT_EQ(error.what(), c.message);
            EXPECT_EQ(isConstraintError(error), c.constraint) << c.sql;
        }
        EXPECT_THROW(connection().exec(c.sql), DbError);
    }
}

TEST_F(ConnectionTest, TransactionRollsBackUnlessCommitted) {
    {
        Transaction transaction(connection());
        connection().exec("insert into t values(1,'a',1)");
    }
    EXPECT_EQ(rowCount(), 0);
    {
        Transaction outer(connection());
        connection().exec("insert into t values(1,'a',1)");
        {
            Transaction inner(connection());  // a savepoint inside the outer unit
            connection().exec("insert into t values(2,'b',2)");
        }
        EXPECT_EQ(rowCount(), 1);
        outer.commit();
    }
    database.reopen();
    EXPECT_EQ(rowCount(), 1);
}

}  // namespace
}  // namespace qm::db
