#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/UserError.h"
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
    grid.rows.push_back(PreviewGrid::Row{});
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

// Does something when a given row has been stored.
class AtRow : public SaveObserver {
  public:
    AtRow(int row, std::function<void()> action) : row_(row), action_(std::move(action)) {}
    void progress(int rowsDone, int) override {
        if (rowsDone == row_) {
            action_();
        }
    }

  private:
    int row_;
    std::function<void()> action_;
};

class ImportSaveTest : public ::testing::Test {
  protected:
    void SetUp() override { project = store::createProject(database.connection(), "初一", 4); }

    SaveOutcome save(const PreviewGrid& grid, SaveObserver* observer = nullptr) {
        return saveImportedRows(database.connection(), project, grid, observer);
    }
    // The student ids in the table as committed to the file, read through a connection of
    // its own.
    std::vector<int> committedIds() {
        db::Connection reader(database.path());
        std::vector<int> ids;
        for (auto row :
             reader.query("select student_id from " + project.fbTable + " order by student_id")) {
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
    // Blanks around a name, an ideographic one too, are removed: a search would miss them.
    auto fixed = student(3, " 张三\u3000");
    fixed[kMemo] = " 3 ";
    auto lastClass = student(5, "李四 ");
    lastClass[kMemo] = "4";
    RecordingObserver observer;

    const auto outcome = save(previewOf({quoted, fixed, lastClass}), &observer);

    EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Stored);
    EXPECT_EQ(outcome.rowsStored, 3);
    EXPECT_EQ(outcome.message, "导入成功，共导入 3 名学生\n其中 2 名学生的姓名前后有空格，已去掉");
    EXPECT_EQ(observer.reports, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(committedIds(), (std::vector<int>{3, 5, 7}));
    const auto rows = database.connection().query(
        "select student_id,rec_id,student_name,sex,class_id,math,english,oral_school,addr,type,"
        "pingyin,fbMemo,pfType from " +
        project.fbTable + " order by student_id");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["student_name"].toText(), "张三");
    EXPECT_EQ(rows[0]["pingyin"].toText(), "ZHANG SAN");
    EXPECT_EQ(rows[1]["student_name"].toText(), "李四");
    EXPECT_EQ(rows[0]["class_id"].toInt(), 3);
    EXPECT_EQ(rows[0]["type"].toInt(), 2);
    EXPECT_EQ(rows[0]["fbMemo"].toText(), " 3 ");
    EXPECT_EQ(rows[1]["pingyin"].toText(), "LI SI");
    EXPECT_EQ(rows[1]["class_id"].toInt(), 4);
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

// Whatever a reader gives, the texts stored are valid UTF-8 an export can write; a name that
// fits its column is stored even when its pinyin is longer than the pinyin column.
TEST_F(ImportSaveTest, TextsAreStoredValidAndTheLongestNameFitsWithItsPinyinCut) {
    std::string longest;
    for (int k = 0; k < 50; ++k) {
        longest += "张";  // ZHANG: 50 syllables and their blanks make 299 characters
    }
    auto row = student(1, longest);
    row[kAddr] =
        "河西路\xFF"
        "1号";
    row[kSchool] = std::string("一中\0二中", 13);
    row[kCategory] = "\xED\xA0\x81\xED\xB0\x85";  // U+10405 written as two surrogates

    const auto outcome = save(previewOf({row}));

    ASSERT_EQ(outcome.kind, SaveOutcome::Kind::Stored) << outcome.reason;
    const auto rows = database.connection().query(
        "select student_name,pingyin,addr,oral_school,pfType from " + project.fbTable);
    EXPECT_EQ(rows[0]["student_name"].toText(), longest);
    const std::string pinyin = rows[0]["pingyin"].toText();
    EXPECT_EQ(pinyin.size(), 100u);
    EXPECT_EQ(pinyin.substr(0, 12), "ZHANG ZHANG ");
    EXPECT_EQ(rows[0]["addr"].toText(),
              "河西路\xEF\xBF\xBD"
              "1号");
    EXPECT_EQ(rows[0]["oral_school"].toText(), "一中\xEF\xBF\xBD二中");
    EXPECT_EQ(rows[0]["pfType"].toText(), "\xF0\x90\x90\x85");
}

TEST_F(ImportSaveTest, APreviewWithoutStudentsEmptiesTheTable) {
    for (const PreviewGrid& grid : {previewOf({}), PreviewGrid{}}) {
        storeEarlierImport();
        const auto outcome = save(grid);
        EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Stored);
        EXPECT_EQ(outcome.rowsStored, 0);
        EXPECT_EQ(outcome.message, "导入成功，共导入 0 名学生");
        EXPECT_TRUE(committedIds().empty());
    }
}

// A row that cannot be stored ends the save at that row: the message names its spreadsheet row
// (reminding of subjects not taken only where a score is at fault), the reason names the column,
// and the project's students are exactly those of before.
TEST_F(ImportSaveTest, ARowThatCannotBeStoredLeavesTheStudentsAsTheyWere) {
    struct Case {
        Cell cell;
        std::string value;
        std::string reason;
        bool scoreAtFault;
    };
    const std::string scoreRange = "超出范围，分数必须在-100000到100000之间";
    const std::vector<Case> cases = {
        {kEnglish, "缺考", "英语「缺考」不是数字", true},
        {kMath, "", "数学「」不是数字", true},
        {kMath, "100000.5", "数学「100000.5」" + scoreRange, true},
        {kShengwu, "-1e308", "生物「-1e+308」" + scoreRange, true},
        {kId, "12a", "学号「12a」不是整数", false},
        {kId, "3.5", "学号「3.5」不是整数", false},
        {kId, "1", "学号「1」与第2行重复", false},
        {kSex, "男生", "性别最多1个字，这里有2个字", false},
        {kName, std::string(51, 'x'), "姓名最多50个字，这里有51个字", false},
        {kCategory, "一二三四五六七八九十一", "分类最多10个字，这里有11个字", false},
        {kMemo, "转学生", "备注「转学生」不是班级号", false},
        {kMemo, "2.5", "备注「2.5」不是班级号", false},
        {kMemo, "-3", "备注「-3」不是本项目的班级，班级号必须在1到4之间", false},
        {kMemo, "0", "备注「0」不是本项目的班级，班级号必须在1到4之间", false},
        {kMemo, "999", "备注「999」不是本项目的班级，班级号必须在1到4之间", false},
    };
    storeEarlierImport();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        auto rows = students(4);
        rows[2][c.cell] = c.value;  // grid row 3, from spreadsheet row 4

        const auto outcome = save(previewOf(rows));

        EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Failed);
        EXPECT_EQ(outcome.message, c.scoreAtFault
                                       ? "插入数据库过程第4行出错,学生不考的科目请设置为0分"
                                       : "插入数据库过程第4行出错");
        EXPECT_EQ(outcome.failedSheetRow, 4);
        EXPECT_EQ(outcome.reason, c.reason);
        EXPECT_EQ(outcome.rowsStored, 0);
        EXPECT_EQ(committedIds(), (std::vector<int>{900, 901}));
    }
}

TEST_F(ImportSaveTest, CancellingLeavesTheStudentsAsTheyWere) {
    storeEarlierImport();
    RecordingObserver cancelAtOnce(1);
    const auto outcome = save(previewOf(students(3)), &cancelAtOnce);
    EXPECT_EQ(outcome.kind, SaveOutcome::Kind::Cancelled);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(cancelAtOnce.reports, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(committedIds(), (std::vector<int>{900, 901}));
}

// Nothing is committed before the last row: another program reading the project during a large
// import sees the old students, and a failure or a cancel far into it leaves them.
TEST_F(ImportSaveTest, LargeImportsAreOneUnit) {
    storeEarlierImport();
    std::vector<int> seen;
    AtRow looking(1200, [&] { seen = committedIds(); });
    const auto stored = save(previewOf(students(1203)), &looking);
    EXPECT_EQ(seen, (std::vector<int>{900, 901}));
    EXPECT_EQ(stored.rowsStored, 1203);
    EXPECT_EQ(committedIds().size(), 1203u);

    auto rows = students(1204);
    rows.erase(rows.begin());   // students 2 to 1204
    rows[1101][kMath] = "abc";  // grid row 1102, spreadsheet row 1103
    EXPECT_EQ(save(previewOf(rows)).failedSheetRow, 1103);
    RecordingObserver cancelLate(1150);
    EXPECT_EQ(save(previewOf(students(1203)), &cancelLate).kind, SaveOutcome::Kind::Cancelled);
    const auto ids = committedIds();
    ASSERT_EQ(ids.size(), 1203u);
    EXPECT_EQ(ids.front(), 1);
}

TEST_F(ImportSaveTest, RefusesATableThatIsNotAProjectsStudentTable) {
    store::CurrentProject none;
    EXPECT_THROW(saveImportedRows(database.connection(), none, previewOf(students(1))), UserError);
    store::CurrentProject missing = project;
    missing.fbTable = "fb_99";
    EXPECT_THROW(saveImportedRows(database.connection(), missing, previewOf(students(1))),
                 UserError);
}

}  // namespace
}  // namespace qm::intake
