// The division commands of the real command-line program on a cohort of a few hundred students.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "support/TempDatabase.h"

namespace qm::test {
namespace {

const char* const kHeader =
    "student_id,rec_id,student_name,sex,class_id,math,english,chinese,wuli,zhengzhi,lishi,tiyu,"
    "dili,shengwu,oral_school,addr,type,pingyin,fbMemo,pfType";

// 300 students; every 50th fixed to a class, some in category "特长", one with a comma and a
// quote in the address.
std::string cohortCsv() {
    std::ostringstream csv;
    csv << kHeader << "\r\n";
    for (int id = 1; id <= 300; ++id) {
        const bool fixed = id % 50 == 0;
        csv << id << ",,"
            << "学生" << id << "," << (id % 3 ? "男" : "女") << "," << (fixed ? id % 6 + 1 : 0);
        for (int s = 0; s < 9; ++s) {
            csv << "," << 40 + (id * 13 + s * 7) % 60 << (s == 2 ? ".5" : "");
        }
        csv << ",某中学," << (id == 7 ? "\"1号,\"\"东\"\"门\"" : "") << "," << (fixed ? 2 : 0)
            << ",PY" << id % 97 << ",," << (id % 10 == 0 ? "特长" : "") << "\r\n";
    }
    return csv.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// class_id of every student from `students ID --csv` (field 5; the address of student 7 holds a
// quoted comma, so its row is read up to the class only).
std::map<int, int> classesOf(const std::string& csv) {
    std::map<int, int> classes;
    const auto lines = linesOf(csv);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream row(lines[i]);
        std::string id, rec, name, sex, classId;
        std::getline(row, id, ',');
        std::getline(row, rec, ',');
        std::getline(row, name, ',');
        std::getline(row, sex, ',');
        std::getline(row, classId, ',');
        classes[std::stoi(id)] = std::stoi(classId);
    }
    return classes;
}

TEST(DivisionCli, DividesListsAndRedividesACohort) {
    TempFolder folder;
    const std::string db = folder.file("fb.db");
    const std::string csvPath = folder.file("students.csv");
    std::ofstream(csvPath, std::ios::binary) << cohortCsv();

    ASSERT_EQ(runCli({"--db", db, "new", "--memo", "初一", "--classes", "6"}).status, 0);
    const auto load = runCli({"--db", db, "load", "1", csvPath});
    ASSERT_EQ(load.status, 0) << load.err;

    const auto divided = runCli({"--db", db, "divide", "1"});
    ASSERT_EQ(divided.status, 0) << divided.err;
    const auto console = linesOf(divided.out);
    EXPECT_EQ(console.front(), "对女的进行分");
    EXPECT_EQ(console.back(), "更新结束");
    EXPECT_EQ(std::count(console.begin(), console.end(), "更新结束"), 2);  // 特长, final

    const auto listed = runCli({"--db", db, "students", "1", "--csv"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(linesOf(listed.out).front(), kHeader);
    EXPECT_NE(listed.out.find("\"1号,\"\"东\"\"门\","), std::string::npos);
    const auto classes = classesOf(listed.out);
    ASSERT_EQ(classes.size(), 300u);
    std::map<int, int> sizes;
    for (const auto& [id, classId] : classes) {
        ++sizes[classId];
        if (id % 50 == 0) {
            EXPECT_EQ(classId, id % 6 + 1) << id;
        }
    }
    ASSERT_EQ(sizes.size(), 6u);
    for (const auto& [classId, size] : sizes) {
        EXPECT_GE(classId, 1);
        EXPECT_NEAR(size, 50, 2) << classId;
    }

    const auto redivided = runCli({"--db", db, "redivide", "1", "--classes", "2,4"});
    ASSERT_EQ(redivided.status, 0) << redivided.err;
    // The run's lines end, then the 总分 figures of the two classes before and after.
    const auto lines = linesOf(redivided.out);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[lines.size() - 5], "重新分班结束");
    EXPECT_EQ(lines[lines.size() - 4], "重新分班前后各班总分平均分（偏差为与全体学生平均分之差）:");
    EXPECT_TRUE(lines[lines.size() - 3].starts_with("2班: ")) << lines[lines.size() - 3];
    EXPECT_TRUE(lines[lines.size() - 2].starts_with("4班: ")) << lines[lines.size() - 2];
    EXPECT_TRUE(lines.back().starts_with("最大偏差: ")) << lines.back();
    EXPECT_NE(lines.back().find(" → "), std::string::npos) << lines.back();
    const auto after = classesOf(runCli({"--db", db, "students", "1", "--csv"}).out);
    for (const auto& [id, classId] : classes) {
        if (classId == 2 || classId == 4) {
            EXPECT_TRUE(after.at(id) == 2 || after.at(id) == 4) << id;
        } else {
            EXPECT_EQ(after.at(id), classId) << id;
        }
    }
}

TEST(DivisionCli, RefusesBadRequestsWithoutChangingAnything) {
    TempFolder folder;
    const std::string db = folder.file("fb.db");
    ASSERT_EQ(runCli({"--db", db, "new", "--classes", "3"}).status, 0);
    const std::string good = folder.file("good.csv");
    std::ofstream(good, std::ios::binary)
        << kHeader << "\n1,,甲,男,0,80,80,80,80,80,80,80,80,80,,,0,JIA,,\n";
    ASSERT_EQ(runCli({"--db", db, "load", "1", good}).status, 0);

    const std::string duplicate = folder.file("duplicate.csv");
    std::ofstream(duplicate, std::ios::binary)
        << kHeader << "\n2,,乙,女,0,70,70,70,70,70,70,70,70,70,,,0,YI,,\n"
        << "1,,丙,男,0,60,60,60,60,60,60,60,60,60,,,0,BING,,\n";
    const auto refused = runCli({"--db", db, "load", "1", duplicate});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("第3行"), std::string::npos) << refused.err;

    const std::string malformed = folder.file("malformed.csv");
    std::ofstream(malformed, std::ios::binary)
        << kHeader << "\n3,,丁,女,0,七十,70,70,70,70,70,70,70,70,,,0,DING,,\n";
    const auto bad = runCli({"--db", db, "load", "1", malformed});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("第2行"), std::string::npos) << bad.err;

    const auto outside = runCli({"--db", db, "redivide", "1", "--classes", "0,2"});
    EXPECT_EQ(outside.status, 1);
    EXPECT_NE(outside.err.find("0班"), std::string::npos) << outside.err;

    const auto listed = linesOf(runCli({"--db", db, "students", "1", "--csv"}).out);
    ASSERT_EQ(listed.size(), 2u);  // the header and student 1 only
    EXPECT_EQ(listed[1].substr(0, 2), "1,");
}

}  // namespace
}  // namespace qm::test
