#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "db/DbError.h"
#include "intake/ImportSave.h"
#include "store/ProjectStore.h"
#include "support/TempDatabase.h"

namespace qm::intake {
namespace {

// Cell positions of the import layout.
enum Cell : std::size_t {
    kId = 1,
    kRecId = 2,
    kName = 3,
    kSex = 4,
    kMath = 5,
    kEnglish = 6,
    kShengwu = 13,
    kSchool = 14,
    kAddr = 15,
    kMemo = 16,
    kCategory = 17
};

PreviewGrid::Row student(int id, std::string name = "张三") {
    PreviewGrid::Row row;
    row[kId] = std::to_string(id);
    row[kRecId] = "R" + std::to_string(id);
    row[kName] = std::move(name);
    row[kSex] = "男";
    for (std::size_t c = kMath; c <= kShengwu; ++c) {
        row[c] = std::to_string(60 + id % 40);
    }
    return row;
}

// The preview of these student rows: numbered, followed by the trailing blank row.
PreviewGrid previewOf(std::vector<PreviewGrid::Row> students) {
    PreviewGrid grid;
    grid.rows = std::move(students);
    PreviewGrid::Row blank;
    for (std::size_t c = kMath; c <= kShengwu; ++c) {
        blank[c] = "0";
    }
    grid.rows.push_back(blank);
    for (std::size_t k = 0; k < grid.rows.size(); ++k) {
        grid.rows[k][0] = std::to_string(k + 1);
    }
    return grid;
}

std::vector<PreviewGrid::Row> students(int count) {
    std::vector<PreviewGrid::Row> rows;
    for (int id = 1; id <= count; ++id) {
        rows.push_back(student(id));
    }
    return rows;
}

// Records the progress reports and cancels after a given row.
class RecordingObserver : public SaveObserver {
  public:
    explicit RecordingObserver(int cancelAfter = 0) : cancelAfter_(cancelAfter) {}
    void progress(int rowsDone, int rowsTotal) override {
        reports.emplace_back(rowsDone, rowsTotal);
    }
    bool cancelRequested() override {
        return cancelAfter_ > 0 && static_cast<int>(reports.size()) >= cancelAfter_;
    }
    std::vector<std::pair<int, int>> reports;

  private:
    int cancelAfter_;
};

class ImportSaveTest : public ::testing::Test {
  protected:
    void SetUp() override { project = store::createProject(database.connection(), "初一", 4); }

    SaveOutcome save(const PreviewGrid& grid, SaveObserver* observer = nullptr) {
        return saveImportedRows(database.connection(), project, grid, observer);
    }
    // The student ids in the table, as committed to the file.
    std::vector<int> committedIds() {
        database.reopen();
        std::vector<int> ids;
        for (auto row : database.connection().query("select student_id from " + project.fbTable +
                                                    " order by student_id")) {
            ids.push_back(static_cast<int>(row[0].toInt()));
        }
        return ids;
    }
    void storeEarlierImport() {
        ASSERT_EQ(save(previewOf({student(900), student(901)})).kind, SaveOutcome::Kind::Stored);
    }

    test::TempDatabase database;
    store::CurrentProject project;
};

TEST_F(ImportSaveTest, StoresEveryStudentRowWithItsPinyinAndReplacesEarlierRows) {
    storeEarlierImport();
    auto quoted = student(7, "O'Neil");
    quoted[kSex] = " 女 ";
    quoted[kSchool] = "St. Mary's; drop table fb_1";
    quoted[kAddr] = "河西路1号";
    quoted[kMath] = " 92.5 ";
    quoted[kCategory] = "艺术";
    auto fixed = student(3, "张三");
    fixed[kMemo] = " 3 ";
    auto beyondClassCount = student(5, "李四");
    beyondClassCount[kMemo] = "9";
    RecordingObserver observer;

    const auto outcome = save(previewOf({quoted, fixed, beyondClassCount}), &observer);

    EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Stored);
    EXPECT_EQ(outcome.rowsStored, 3);
    EXPECT_EQ(outcome.message, "导入成功");
    EXPECT_EQ(observer.reports, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(committedIds(), (std::vector<int>{3, 5, 7}));
    const auto rows = database.connection().query(
        "select student_id,rec_id,student_name,sex,class_id,math,english,oral_school,addr,type,"
        "pingyin,fbMemo,pfType from " +
        project.fbTable + " order by student_id");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["pingyin"].toText(), "ZHANG SAN");
    EXPECT_EQ(rows[0]["class_id"].toInt(), 3);
    EXPECT_EQ(rows[0]["type"].toInt(), 2);
    EXPECT_EQ(rows[0]["fbMemo"].toText(), " 3 ");
    EXPECT_EQ(rows[1]["pingyin"].toText(), "LI SI");
    EXPECT_EQ(rows[1]["class_id"].toInt(), 9);  // kept as given, beyond the 4 classes
    EXPECT_EQ(rows[1]["type"].toInt(), 2);
    const auto& q = rows[2];
    EXPECT_EQ(q["rec_id"].toText(), "R7");
    EXPECT_EQ(q["student_name"].toText(), "O'Neil");
    EXPECT_EQ(q["pingyin"].toText(), "O  N E I L");  // the quote has no reading but adds its blank
    EXPECT_EQ(q["sex"].toText(), "女");
    EXPECT_EQ(q["class_id"].toInt(), 0);
    EXPECT_EQ(q["type"].toInt(), 0);
    EXPECT_EQ(q["math"].toDouble(), 92.5);
    EXPECT_EQ(q["english"].toDouble(), 67.0);
    EXPECT_EQ(q["oral_school"].toText(), "St. Mary's; drop table fb_1");
    EXPECT_EQ(q["addr"].toText(), "河西路1号");
    EXPECT_EQ(q["fbMemo"].toText(), "");
    EXPECT_EQ(q["pfType"].toText(), "艺术");
}

TEST_F(ImportSaveTest, APreviewWithoutStudentsEmptiesTheTable) {
    for (const PreviewGrid& grid : {previewOf({}), PreviewGrid{}}) {
        storeEarlierImport();
        const auto outcome = save(grid);
        EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Stored);
        EXPECT_EQ(outcome.rowsStored, 0);
        EXPECT_EQ(outcome.message, "导入成功");
        EXPECT_TRUE(committedIds().empty());
    }
}

// A row that cannot be stored ends the save at that row; the message names its spreadsheet
// row, and the rows before it stay stored.
TEST_F(ImportSaveTest, ARowThatCannotBeStoredEndsTheSaveAndKeepsTheRowsBeforeIt) {
    struct Case {
        const char* what;
        Cell cell;
        std::string value;
        bool failedRowStays;  // only its 备注 was wrong: the row itself went in
    };
    const std::vector<Case> cases = {
        {"score not a number", kEnglish, "缺考", false},
        {"empty score", kMath, "", false},
        {"学号 not a number", kId, "12a", false},
        {"学号 not whole", kId, "3.5", false},
        {"学号 repeated", kId, "1", false},
        {"sex too long", kSex, "男生", false},
        {"name too long", kName, std::string(51, 'x'), false},
        {"备注 not a class number", kMemo, "转学生", true},
        {"备注 not whole", kMemo, "2.5", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        storeEarlierImport();
        auto rows = students(4);
        rows[2][c.cell] = c.value;  // grid row 3, from spreadsheet row 4

        const auto outcome = save(previewOf(rows));

        EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Failed);
        EXPECT_EQ(outcome.message, "插入数据库过程第4行出错,学生不考的科目请设置为0分");
        EXPECT_EQ(outcome.failedSheetRow, 4);
        EXPECT_FALSE(outcome.reason.empty());
        EXPECT_EQ(outcome.rowsStored, c.failedRowStays ? 3 : 2);
        EXPECT_EQ(committedIds(),
                  c.failedRowStays ? std::vector<int>({1, 2, 3}) : std::vector<int>({1, 2}));
        if (c.failedRowStays) {
            const auto row = database.connection().query("select class_id,type from " +
                                                         project.fbTable + " where student_id=3");
            EXPECT_EQ(row[0][0].toInt(), 0);
            EXPECT_EQ(row[0][1].toInt(), 0);
        }
    }
}

TEST_F(ImportSaveTest, CancellingEmptiesTheTable) {
    storeEarlierImport();
    RecordingObserver cancelAtOnce(1);
    const auto outcome = save(previewOf(students(3)), &cancelAtOnce);
    EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Cancelled);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(cancelAtOnce.reports, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_TRUE(committedIds().empty());
}

// Rows are committed in batches: a failure or a cancel far into a large preview must still
// keep, or remove, the rows of the batches already committed.
TEST_F(ImportSaveTest, LargePreviewsKeepTheRulesAcrossBatches) {
    auto rows = students(1203);
    rows[1101][kMath] = "abc";  // grid row 1102, spreadsheet row 1103
    const auto failed = save(previewOf(rows));
    EXPECT_EQ(failed.failedSheetRow, 1103);
    EXPECT_EQ(failed.rowsStored, 1101);
    const auto ids = committedIds();
    ASSERT_EQ(ids.size(), 1101u);
    EXPECT_EQ(ids.back(), 1101);

    RecordingObserver cancelLate(1150);
    const auto cancelled = save(previewOf(students(1203)), &cancelLate);
    EXPECT_EQ(cancelled.kind, SaveOutcome::Kind::Cancelled);
    EXPECT_TRUE(committedIds().empty());

    const auto stored = save(previewOf(students(1203)));
    EXPECT_EQ(stored.rowsStored, 1203);
    EXPECT_EQ(committedIds().size(), 1203u);
}

TEST_F(ImportSaveTest, RefusesATableThatIsNotAProjectsStudentTable) {
    store::CurrentProject none;
    EXPECT_THROW(saveImportedRows(database.connection(), none, previewOf(students(1))),
                 std::runtime_error);
    store::CurrentProject missing = project;
    missing.fbTable = "fb_99";
    EXPECT_THROW(saveImportedRows(database.connection(), missing, previewOf(students(1))),
                 db::DbError);
}

}  // namespace
}  // namespace qm::intake
