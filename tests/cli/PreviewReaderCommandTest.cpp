// quillmere-cli preview and the warning of import: the real program on real files.
#include <gtest/gtest.h>

#include "BiffBuilder.h"
#include "CompoundFileBuilder.h"
#include "XlsxFixture.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

TEST(PreviewReaderCommand, PrintsTheRowsReadAndTheCount) {
    const auto result = runCli({"preview", testData("import/stops_at_empty_id.xlsx")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "行\t学号\t登分号\t姓名\t性别\t数学\t英语\t语文\t物理\t政治\t历史\t体育\t地理\t生物\t"
              "毕业学校\t地址\t备注\t分类\n"
              "1\t1\tR1\t甲\t男\t80\t80\t80\t80\t80\t80\t80\t80\t80\t实验小学\t人民路1号\t\t\n"
              "2\t2\tR2\t乙\t女\t81\t81\t81\t81\t81\t81\t81\t81\t81\t实验小学\t人民路1号\t\t\n"
              "3\t\t\t丙\t男\t82\t82\t0\t82\t82\t82\t82\t82\t82\t\t\t\t\n"
              "已导入的总记录数:2条\n");
}

TEST(PreviewReaderCommand, EscapesLineBreaksAndTabsInCells) {
    const auto result = runCli({"preview", testData("import/tab_quoted.csv")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\t人民路;1号\\t2单元\t"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\t和平街\\n5号\t"), std::string::npos) << result.out;
}

TEST(PreviewReaderCommand, ReportsAnUnreadableFileWithFailureStatus) {
    const std::string path = testData("import/password.xls");
    const auto result = runCli({"preview", path});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.out.empty());
    EXPECT_NE(result.err.find("无法读取文件 " + path + ": 工作簿有密码保护"), std::string::npos)
        << result.err;
}

TEST(PreviewReaderCommand, DamagedWorkbooksAreToldInOneLine) {
    // A compound document whose allocation table points nowhere, and a sheet cut short: the
    // message only, without the complaints of the libraries below.
    TempFolder folder;
    BiffBuilder book;
    book.number(book.addSheet("Sheet1"), 0, 0, 1);
    std::string brokenTable = compoundFile({{"Workbook", book.stream()}});
    brokenTable.replace(0x4C, 4, BiffBuilder::u32(0x7FFFFFF0));
    std::string cutShort = book.stream();  // its last record, the sheet's EOF, made too long
    cutShort.replace(cutShort.size() - 4, 4, BiffBuilder::u16(0x0203) + BiffBuilder::u16(0x7FFF));
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"table.xls", brokenTable}, {"cut.xls", compoundFile({{"Workbook", cutShort}})}}) {
        const std::string path = folder.file(name);
        writeFile(path, bytes);
        const auto result = runCli({"preview", path});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.rfind("无法读取文件 " + path + ": 文件已损坏", 0), 0u) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

TEST(PreviewReaderCommand, WarnsOfAFileThatIsNoListOfStudents) {
    // A tab-separated list without titles, renamed .csv: the preview shows it with a warning,
    // the import refuses it unless told --force.
    TempFolder folder;
    const std::string list = folder.file("list.csv");
    writeFile(list, "1\tK1\t张三\t男\n2\tK2\t李四\t女\n");
    const auto preview = runCli({"preview", list});
    EXPECT_EQ(preview.status, 0);
    EXPECT_EQ(preview.err,
              "警告: 第1行不是导入表格的列名 (学号, 登分号, 姓名, 性别, …): A列是“1”, 应为“学号”; "
              "B列是“K1”, 应为“登分号”; C列是“张三”, 应为“姓名”; D列是“男”, 应为“性别”; "
              "…共 17 列不符\n");

    const std::string db = folder.file("fb.db");
    ASSERT_EQ(runCli({"--db", db, "new", "--memo", "p", "--classes", "2"}).status, 0);
    const auto refused = runCli({"--db", db, "import", "1", list});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("第1行不是导入表格的列名"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("加上 --force 再导入"), std::string::npos) << refused.err;
    EXPECT_EQ(runCli({"--db", db, "students", "1", "--csv"}).out.find("\n2,"), std::string::npos);

    const auto forced = runCli({"--db", db, "import", "1", list, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out, "导入成功，共导入 1 名学生\n");
    EXPECT_NE(runCli({"--db", db, "students", "1", "--csv"}).out.find("\n2,K2,李四,"),
              std::string::npos);
}

TEST(PreviewReaderCommand, AListWithABlankRowInTheMiddleIsNotImportedAsAWhole) {
    // Reading stops at the blank row 4; the import says so and refuses unless told --force.
    TempFolder folder;
    const std::string list = folder.file("list.csv");
    std::string text =
        "学号,登分号,姓名,性别,数学,英语,语文,物理,政治,历史,体育,地理,生物,毕业学校,地址,"
        "备注,分类\n1,K1,张三,男\n2,K2,李四,女\n\n";
    for (int id = 3; id <= 6; ++id) {
        text += std::to_string(id) + ",K,王" + std::to_string(id) + ",男\n";
    }
    writeFile(list, text);
    const std::string db = folder.file("fb.db");
    ASSERT_EQ(runCli({"--db", db, "new", "--memo", "p", "--classes", "2"}).status, 0);
    const auto refused = runCli({"--db", db, "import", "1", list});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "第4行是空行，后面还有 4 行有数据，没有读入\n"
              "没有导入。确认文件无误后, 加上 --force 再导入\n");
    EXPECT_EQ(runCli({"--db", db, "students", "1", "--csv"}).out.find("\n1,"), std::string::npos);
    const auto forced = runCli({"--db", db, "import", "1", list, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out, "导入成功，共导入 2 名学生\n");
}

}  // namespace
}  // namespace qm::test
