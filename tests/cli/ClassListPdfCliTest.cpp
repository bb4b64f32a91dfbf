// export ID --pdf: the class lists as a PDF written by the real command-line program, read back
// with poppler's pdftotext and pdftoppm as a person would see it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/Connection.h"
#include "support/PdfReading.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

class ClassListPdfCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!pdfToolsInstalled()) {
            GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are not installed";
        }
        // The sample workbook's 200 students in 4 classes.
        ASSERT_EQ(cli({"new", "--memo", "2026级高一", "--classes", "4"}).status, 0);
        ASSERT_EQ(cli({"import", "1", sampleFile("分班数据输入样例.xls")}).status, 0);
    }
    ProgramResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", database()});
        return runCli(words);
    }
    std::string database() const { return folder.file("fb.db"); }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
    TempFolder folder;
};

TEST_F(ClassListPdfCliTest, WritesOnePagePerClassWithTheChosenSchoolClassesAndScores) {
    ASSERT_EQ(cli({"divide", "1"}).status, 0);
    const std::string pdf = folder.file("名单 九月.pdf");
    const auto written = cli({"export", "1", "--pdf", pdf, "--school", "实验中学", "--scores",
                              "数学,总分", "--classes", "2,4"});
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_TRUE(has(written.out, "已导出 2 个班的名单, 共 2 页")) << written.out;
    EXPECT_EQ(written.err, "");

    const auto pages = pdfPageTexts(pdf);
    ASSERT_EQ(pages.size(), 2u);
    const char* const classes[] = {"2班 学生名单", "4班 学生名单"};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        for (const char* part : {"实验中学", "2026级高一", "男生", "女生", "序号", "学号", "姓名",
                                 "性别", "数学", "总分", "班主任签字", "打印日期"}) {
            EXPECT_TRUE(has(pages[i], part)) << "page " << i + 1 << " lacks " << part;
        }
        EXPECT_TRUE(has(pages[i], classes[i])) << pages[i];
        EXPECT_FALSE(has(pages[i], "语文")) << pages[i];
    }
    // Every student of class 2 stands on its page, those of class 1 on none.
    db::Connection connection(database());
    const auto namesIn = [&](int classId) {
        std::vector<std::string> names;
        for (const auto row : connection.query("select student_name from fb_1 where class_id = " +
                                               std::to_string(classId))) {
            names.push_back(row[0].toText());
        }
        return names;
    };
    ASSERT_FALSE(namesIn(2).empty());
    for (const std::string& name : namesIn(2)) {
        EXPECT_TRUE(has(pages[0], name)) << name;
    }
    std::string printedNames;
    for (int classId : {2, 4}) {
        for (const std::string& name : namesIn(classId)) {
            printedNames += name + "\n";
        }
    }
    for (const std::string& name : namesIn(1)) {
        // A name within a printed name (王丽 in 王丽华) says nothing.
        if (!has(printedNames, name)) {
            EXPECT_FALSE(has(pages[0] + pages[1], name)) << name;
        }
    }

    for (const auto& picture : pdfPagePictures(pdf, folder.path() / "pages")) {
        EXPECT_GT(inkShare(picture), 0.01) << picture;
    }
}

TEST_F(ClassListPdfCliTest, RefusesTheDatabaseAnEmptyProjectAndOtherFiles) {
    ASSERT_EQ(cli({"new", "--memo", "空", "--classes", "2"}).status, 0);
    const auto empty = cli({"export", "2", "--pdf", folder.file("a.pdf")});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.err, "该分班项目还没有学生数据\n");
    ASSERT_EQ(cli({"divide", "1"}).status, 0);

    for (const std::string& target : {database(), database() + "-wal", folder.file("./fb.db")}) {
        const auto refused = cli({"export", "1", "--pdf", target, "--overwrite"});
        EXPECT_EQ(refused.status, 1) << target;
        EXPECT_TRUE(has(refused.err, "正在使用的数据库")) << refused.err;
    }
    const std::string notes = folder.file("notes.txt");
    std::ofstream(notes) << "不是 PDF";
    const auto kept = cli({"export", "1", "--pdf", notes});
    EXPECT_EQ(kept.status, 1);
    EXPECT_TRUE(has(kept.err, "--overwrite")) << kept.err;
    EXPECT_EQ(std::ifstream(notes).rdbuf()->sgetc(), static_cast<unsigned char>("不"[0]));
    EXPECT_EQ(cli({"export", "1", "--pdf", notes, "--overwrite"}).status, 0);
    EXPECT_EQ(pdfPageTexts(notes).size(), 4u);

    EXPECT_EQ(cli({"export", "1", "--pdf", folder.file("b.pdf"), "--scores", "化学"}).status, 1);
    EXPECT_EQ(cli({"export", "1", "--out", folder.file("c.xlsx"), "--school", "x"}).status, 2);
    EXPECT_EQ(cli({"export", "1", "--pdf", folder.file("d.pdf"), "--stats"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(folder.file("b.pdf")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("b.pdf.part")));
    // The database is whole and keeps its students.
    const auto stats = cli({"stats", "1"});
    EXPECT_EQ(stats.status, 0) << stats.err;
}

}  // namespace
}  // namespace qm::test
