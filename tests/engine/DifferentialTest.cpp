// The division engine against the literal reference on many generated cohorts: every student
// must end in the same class with the same type, the twin table must hold the same rows, and the
// console must show the same lines, after a full division and after a re-division.
#include <gtest/gtest.h>

#include "CohortGenerator.h"
#include "db/Transaction.h"
#include "engine/DivisionRun.h"
#include "reference/ReferenceDivision.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"
#include "support/TempDatabase.h"

namespace qm::test {
namespace {

struct LineCollector : engine::DivisionObserver {
    void consoleLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

using TableRows = std::vector<std::vector<std::string>>;

TableRows tableRows(db::Connection& connection, const std::string& table) {
    TableRows rows;
    for (const auto row : connection.query("select * from " + table + " order by student_id")) {
        std::vector<std::string> cells;
        for (std::size_t c = 0; c < store::kStudentColumns.size(); ++c) {
            cells.push_back(row[c].toText());
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

store::CurrentProject projectFor(db::Connection& connection, const GeneratedCohort& cohort,
                                 const std::string& memo) {
    auto project = store::createProject(connection, memo, cohort.classCount);
    if (cohort.settings) {
        auto settings = *cohort.settings;
        settings.id = project.id();
        store::saveSettings(connection, settings);
    } else {
        auto drop = connection.prepare("delete from config where id=?");
        drop.bind(1, project.id());
        drop.execute();
    }
    insertStudents(connection, project.fbTable, cohort.students);
    return project;
}

// Runs one cohort through both, in two new projects of the database, and compares.
void compareOnCohort(db::Connection& connection, const GeneratedCohort& cohort,
                     const std::string& name) {
    const auto engineProject = projectFor(connection, cohort, "engine");
    const auto referenceProject = projectFor(connection, cohort, "reference");

    LineCollector engineLines;
    engine::divide(connection, engineProject, engineLines);
    reference::ReferenceDivision reference(connection, referenceProject);
    {
        db::Transaction transaction(connection);
        reference.divide();
        transaction.commit();
    }
    // Both tables of both projects hold the same rows.
    const auto expectSameTables = [&](const std::string& after) {
        EXPECT_EQ(tableRows(connection, engineProject.fbTable),
                  tableRows(connection, referenceProject.fbTable))
            << name << ": student table after the " << after;
        EXPECT_EQ(tableRows(connection, engineProject.rbTable),
                  tableRows(connection, referenceProject.rbTable))
            << name << ": twin table after the " << after;
    };
    ASSERT_EQ(engineLines.lines, reference.lines) << name << ": console of the division";
    expectSameTables("division");
    if (::testing::Test::HasFailure()) {
        return;
    }

    LineCollector redivisionLines;
    engine::redivide(connection, engineProject, cohort.redivideClasses, redivisionLines);
    reference.lines.clear();
    {
        db::Transaction transaction(connection);
        reference.redivide(cohort.redivideClasses);
        transaction.commit();
    }
    ASSERT_EQ(redivisionLines.lines, reference.lines) << name << ": console of the re-division";
    expectSameTables("re-division");
}

struct Batch {
    std::uint32_t seed;
    int cohorts;
    CohortShape shape;
};

class DifferentialTest : public ::testing::TestWithParam<Batch> {};

TEST_P(DifferentialTest, EngineDividesExactlyAsTheLiteralRules) {
    const Batch batch = GetParam();
    CohortGenerator generator(batch.seed);
    TempDatabase database;
    database.connection().exec("PRAGMA synchronous=OFF");
    for (int i = 0; i < batch.cohorts; ++i) {
        const auto cohort = generator.next(batch.shape);
        const std::string name = "seed " + std::to_string(batch.seed) + " cohort " +
                                 std::to_string(i) + " (" + std::to_string(cohort.students.size()) +
                                 " students, " + std::to_string(cohort.classCount) + " classes)";
        compareOnCohort(database.connection(), cohort, name);
        if (HasFailure()) {
            return;
        }
    }
}

Batch upTo(std::uint32_t seed, int cohorts, int maxStudents, int maxWtNum) {
    return Batch{seed, cohorts, CohortShape{.maxStudents = maxStudents, .maxWtNum = maxWtNum}};
}

// Many small cohorts with the full range of fine-tuning counts, fewer larger ones with few
// passes (the reference walks every class for every candidate), and two of a school's size
// with many classes, where fine tuning picks its candidates out of windows of totals.
INSTANTIATE_TEST_SUITE_P(Cohorts, DifferentialTest,
                         ::testing::Values(upTo(11, 250, 30, 50), upTo(12, 40, 70, 50),
                                           upTo(13, 120, 80, 8), upTo(14, 50, 160, 3),
                                           upTo(15, 16, 320, 1),
                                           Batch{35, 2, CohortShape{900, 1300, 24, 40, 2}}));

}  // namespace
}  // namespace qm::test
