// The stages of a division run as the progress display weighs them: the same stages, in the same
// order and with the same students, as the real run reports and places.
#include <gtest/gtest.h>

#include <utility>

#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "engine/RunStages.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "support/StudentRows.h"
#include "support/TempDatabase.h"

namespace qm::engine {
namespace {

using test::StudentRow;

// The stages in the order the run reports them, and every report.
struct Reports : DivisionObserver {
    void progress(const DivisionProgress& progress) override {
        all.push_back(progress);
        if (order.empty() || order.back() != std::pair(progress.stage, progress.sex)) {
            order.emplace_back(progress.stage, progress.sex);
        }
    }
    std::vector<std::pair<std::string, std::string>> order;
    std::vector<DivisionProgress> all;
};

StudentRow student(int id, const std::string& sex, std::optional<std::string> category = "",
                   int type = 0, int classId = 0) {
    StudentRow row;
    row.student_id = id;
    row.student_name = "学生" + std::to_string(id);
    row.sex = sex;
    row.pfType = std::move(category);
    row.type = type;
    row.class_id = classId;
    row.pingyin = "PY" + std::to_string(id);
    for (int s = 0; s < 9; ++s) {
        row.scores[s] = 40 + (id * 7 + s * 13) % 60;
    }
    return row;
}

class RunStagesTest : public ::testing::TestWithParam<int> {
  protected:
    // Categories B and A (A has a fixed student), students without a category (blank or NULL),
    // fixed students and one whose sex is neither.
    store::CurrentProject project(int boysFirst) {
        std::vector<StudentRow> students;
        for (int id = 1; id <= 60; ++id) {
            const std::string sex = id % 3 == 0 ? "女" : "男";
            std::optional<std::string> category = "";
            if (id <= 10) {
                category = "B";
            } else if (id <= 16) {
                category = "A";
            } else if (id % 5 == 0) {
                category = std::nullopt;
            }
            students.push_back(student(id, sex, category));
        }
        students[12].type = 2;  // in category A
        students[12].class_id = 1;
        students[40].type = 2;
        students[40].class_id = 3;
        students.push_back(student(61, "x"));
        auto current = store::createProject(connection(), "测试", 3);
        auto settings = store::DivisionSettings::defaults(current.id());
        settings.wtNum = 3;
        settings.is_man = boysFirst;
        store::saveSettings(connection(), settings);
        test::insertStudents(connection(), current.fbTable, students);
        return current;
    }
    int count(const std::string& sql) {
        return static_cast<int>(connection().query(sql)[0][0].toInt());
    }
    db::Connection& connection() { return database.connection(); }
    test::TempDatabase database;
};

TEST_P(RunStagesTest, DivisionStagesAreThoseTheRunReportsAndPlaces) {
    const int boysFirst = GetParam();
    const auto current = project(boysFirst);
    EXPECT_EQ(studentsPlacedByEarlierRun(connection(), current), 0);
    EXPECT_EQ(studentsInClasses(connection(), current), 2);  // the fixed ones
    const auto stages = divisionStages(connection(), current);
    Reports reports;
    divide(connection(), current, reports);

    ASSERT_EQ(stages.size(), reports.order.size());
    const std::string first = boysFirst == 1 ? "男" : "女";
    for (std::size_t i = 0; i < stages.size(); ++i) {
        EXPECT_EQ(std::pair(stages[i].stage, stages[i].sex), reports.order[i]);
        const std::string& sex = stages[i].sex;
        EXPECT_EQ(sex == first, i % 2 == 0);
        // What the stage placed: its category's students marked by the category stage, or the
        // others marked by the final pass.
        const int placed =
            stages[i].stage.empty()
                ? count("select count(*) from fb_1 where type=1 and trim(sex)='" + sex + "'")
                : count("select count(*) from fb_1 where type=3 and pfType='" + stages[i].stage +
                        "' and trim(sex)='" + sex + "'");
        EXPECT_EQ(stages[i].students, placed) << stages[i].stage << sex;
    }
    EXPECT_EQ(stages[0].stage, "A");
    EXPECT_EQ(stages[2].stage, "B");
    EXPECT_EQ(studentsPlacedByEarlierRun(connection(), current), 58);  // all but 2 fixed, 1 "x"
    EXPECT_EQ(studentsInClasses(connection(), current), 60);           // all but 1 "x"
}

TEST_P(RunStagesTest, RedivisionStagesAreTheMovableStudentsOfTheChosenClasses) {
    const auto current = project(GetParam());
    Reports ignored;
    divide(connection(), current, ignored);
    const std::vector<int> chosen = {3, 1};
    const auto stages = redivisionStages(connection(), current, chosen);
    Reports reports;
    redivide(connection(), current, chosen, reports);

    ASSERT_EQ(stages.size(), reports.order.size());
    for (std::size_t i = 0; i < stages.size(); ++i) {
        EXPECT_EQ(std::pair(stages[i].stage, stages[i].sex), reports.order[i]);
        EXPECT_EQ(stages[i].students,
                  count("select count(*) from rb_fb_1 where type=1 and trim(sex)='" +
                        stages[i].sex + "'"));
    }
}

INSTANTIATE_TEST_SUITE_P(GirlsFirstAndBoysFirst, RunStagesTest, ::testing::Values(0, 1));

// Over a real run the share done only grows, starts at nothing and stays within the whole.
TEST(RunStagesShare, GrowsOverTheRunsReports) {
    test::TempDatabase database;
    auto current = store::createProject(database.connection(), "测试", 2);
    std::vector<StudentRow> students;
    for (int id = 1; id <= 30; ++id) {
        students.push_back(student(id, id % 2 ? "男" : "女", id <= 8 ? "C" : ""));
    }
    test::insertStudents(database.connection(), current.fbTable, students);
    const auto stages = divisionStages(database.connection(), current);
    Reports reports;
    divide(database.connection(), current, reports);
    std::size_t stage = 0;
    double last = 0;
    for (const auto& progress : reports.all) {
        stage = stageOf(stages, stage, progress);
        const double share = shareDone(stages, stage, progress);
        EXPECT_GE(share, last);
        EXPECT_LE(share, 1.0);
        last = share;
    }
    EXPECT_EQ(shareDone(stages, 0, reports.all.front()), 0.0);
    EXPECT_GT(last, 0.9);
}

TEST(RunStagesShare, StagesWeighByTheirStudents) {
    const std::vector<RunStage> stages = {{"A", "女", 10}, {"A", "男", 0}, {"", "女", 30}};
    auto at = [&](std::size_t index, int pass, int passes) {
        return shareDone(stages, index, {stages[index].stage, stages[index].sex, pass, passes});
    };
    EXPECT_DOUBLE_EQ(at(0, 1, 3), 10.0 * 1 / 4 / 40);
    EXPECT_DOUBLE_EQ(at(1, 2, 3), 10.0 / 40);  // a stage without students takes no time
    EXPECT_DOUBLE_EQ(at(2, 0, 3), 10.0 / 40);
    EXPECT_DOUBLE_EQ(at(2, 2, 3), (10 + 30.0 * 2 / 4) / 40);
    EXPECT_DOUBLE_EQ(at(2, 0, 0), 10.0 / 40);  // no fine tuning: placing is the whole stage

    // Without students anywhere (everyone fixed) the stages weigh equally.
    const std::vector<RunStage> empty = {{"", "女", 0}, {"", "男", 0}};
    EXPECT_DOUBLE_EQ(shareDone(empty, 1, {"", "男", 1, 1}), 0.75);
    // A report that names no stage of the list belongs to the last one.
    EXPECT_EQ(stageOf(stages, 0, {"B", "女", 0, 3}), 2u);
    EXPECT_EQ(stageOf(stages, 1, {"A", "男", 0, 3}), 1u);
}

}  // namespace
}  // namespace qm::engine
