#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

const std::string kSample = sampleFile("分班数据输入样例");

class ImportCliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(cli({"new", "--memo", "p", "--classes", "4"}).status, 0); }
    ProgramResult cli(std::vector<std::string> words) {
        words.insert(words.begin(), {"--db", folder.file("fb.db")});
        return runCli(words);
    }
    // The line of one student in the students CSV (whose lines end in CR LF).
    std::string studentLine(const std::string& id) {
        const std::string csv = cli({"students", "1", "--csv"}).out;
        const auto at = csv.find("\n" + id + ",");
        return at == std::string::npos ? "" : csv.substr(at + 1, csv.find('\r', at + 1) - at - 1);
    }
    TempFolder folder;
};

// The sample workbook through import to stored rows: the count, the pinyin of the names and a
// student fixed to a class by 备注.
TEST_F(ImportCliTest, SampleWorkbookIsStoredWithPinyinAndFixedClasses) {
    for (const std::string extension : {".xlsx", ".xls"}) {
        const auto imported = cli({"import", "1", kSample + extension});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out, "导入成功，共导入 200 名学生\n");
        EXPECT_EQ(studentLine("20240001"),
                  "20240001,K0001,余欢青,女,0,66,74.5,84,52,63,78,94,98,66,实验小学,"
                  "城关镇和平街161号,0,YU HUAN QING,,");
        // 备注 1 fixes 王嘉 to class 1 (type 2).
        EXPECT_EQ(studentLine("20240007"),
                  "20240007,K0007,王嘉,女,1,66,66,55,67,71.5,82,72,64,62,东街小学,"
                  "城关镇和平街41号,2,WANG JIA,1,");
    }
}

TEST_F(ImportCliTest, AnUnreadableFileChangesNothing) {
    ASSERT_EQ(cli({"import", "1", kSample + ".xlsx"}).status, 0);
    const auto broken = cli({"import", "1", testData("import/truncated.xlsx")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("truncated.xlsx"), std::string::npos) << broken.err;
    EXPECT_NE(studentLine("20240200"), "");  // the earlier import is still there
}

// An import is all or nothing: a failing row is named, and the students are those of before.
TEST_F(ImportCliTest, AFailingRowIsNamedAndTheStudentsStayAsTheyWere) {
    ASSERT_EQ(cli({"import", "1", kSample + ".xlsx"}).status, 0);
    const std::string titles =
        "学号,登分号,姓名,性别,数学,英语,语文,物理,政治,历史,体育,地理,生物,毕业学校,地址,"
        "备注,分类\n";
    const struct {
        std::string badRow;
        std::string told;
    } cases[] = {
        {"2,b,李四,女,缺考,80,80,80,80,80,80,80,80,,,,\n",
         "插入数据库过程第3行出错,学生不考的科目请设置为0分\n数学「缺考」不是数字\n"},
        {"2,b," + std::string(51, 'x') + ",女,80,80,80,80,80,80,80,80,80,,,,\n",
         "插入数据库过程第3行出错\n姓名最多50个字，这里有51个字\n"},
        {"2,b,李四,女,80,80,80,80,80,80,80,80,80,,,9,\n",
         "插入数据库过程第3行出错\n备注「9」不是本项目的班级，班级号必须在1到4之间\n"},
    };
    for (const auto& c : cases) {
        const std::string file = folder.file("bad.csv");
        std::ofstream(file, std::ios::binary)
            << titles << "1,a,张三,男,80,80,80,80,80,80,80,80,80,,,,\n"
            << c.badRow;
        const auto imported = cli({"import", "1", file});
        EXPECT_EQ(imported.status, 1);
        EXPECT_EQ(imported.err, c.told + "该项目的学生数据没有改变\n");
        EXPECT_EQ(studentLine("1"), "");
        EXPECT_NE(studentLine("20240200"), "");
    }
}

// load checks its rows as the import and the student list do, naming the row and the column's
// heading: a placement type other than 0 to 3, an empty score or a sex other than 男 or 女 is
// refused as the student list refuses it.
TEST_F(ImportCliTest, LoadRefusesWhatTheImportRefuses) {
    const std::string header =
        "student_id,rec_id,student_name,sex,class_id,math,english,chinese,wuli,zhengzhi,lishi,"
        "tiyu,dili,shengwu,oral_school,addr,type,pingyin,fbMemo,pfType\n";
    const struct {
        std::string row;
        std::string told;
    } cases[] = {
        {"1,," + std::string(51, 'x') + ",男,0,80,80,80,80,80,80,80,80,80,,,0,,,",
         "第2行: 姓名最多50个字，这里有51个字"},
        {"1,,甲,男,5,80,80,80,80,80,80,80,80,80,,,2,,,",
         "第2行: 班级「5」不是本项目的班级，班级号必须在0到4之间（0表示未分班）"},
        {"1,,甲,男,0,1e308,80,80,80,80,80,80,80,80,,,0,,,",
         "第2行: 数学「1e+308」超出范围，分数必须在-100000到100000之间"},
        {"1,,甲,男,0,80,80,80,80,80,80,80,80,80,,,7,,,",
         "第2行: 类型「7」不是放置类型，类型必须在0到3之间"},
        {"1,,甲,男,0,80,,80,80,80,80,80,80,80,,,0,,,", "第2行: 英语「」不是数字"},
        {"1,,甲,M,0,80,80,80,80,80,80,80,80,80,,,0,,,", "第2行: 性别「M」只能是男或女"},
        {"x,,甲,男,0,80,80,80,80,80,80,80,80,80,,,0,,,", "第2行: 学号「x」不是整数"},
    };
    for (const auto& c : cases) {
        const std::string file = folder.file("load.csv");
        std::ofstream(file, std::ios::binary) << header << c.row << "\n";
        const auto loaded = cli({"load", "1", file});
        EXPECT_EQ(loaded.status, 1);
        EXPECT_EQ(loaded.err, c.told + "\n");
        EXPECT_EQ(studentLine("1"), "");
    }
}

}  // namespace
}  // namespace qm::test
