#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "store/DivisionSettings.h"
#include "support/StudentRows.h"

namespace qm::test {

// One generated division case: classes, settings (none: the project has no settings row),
// students, and the classes to re-divide afterwards.
struct GeneratedCohort {
    int classCount = 1;
    std::optional<store::DivisionSettings> settings;
    std::vector<StudentRow> students;
    std::vector<int> redivideClasses;
};

// The sizes a generated cohort is drawn from (both ends included) and the largest fine-tuning
// count it gets.
struct CohortShape {
    int minStudents = 1;
    int maxStudents = 1;
    int minClasses = 1;
    int maxClasses = 12;
    int maxWtNum = 0;
};

// Kinds of scores a cohort gets.
enum class ScoreKind { Whole, HalfPoint, OneDecimal };

// Builds cohorts from a seed: sizes, settings, sexes (some with a trailing blank, some neither
// 男 nor 女), categories, fixed students (some in class 0 or above the class count), equal and
// empty pinyins, equal score rows, subjects nobody takes.
class CohortGenerator {
  public:
    explicit CohortGenerator(std::uint32_t seed) : random_(seed) {}
    GeneratedCohort next(int maxStudents, int maxWtNum) {
        return next(CohortShape{.maxStudents = maxStudents, .maxWtNum = maxWtNum});
    }
    GeneratedCohort next(const CohortShape& shape);

  private:
    int between(int low, int high);  // inclusive
    bool chance(int percent) { return between(1, 100) <= percent; }
    double score(ScoreKind kind, int level);

    std::mt19937 random_;
};

}  // namespace qm::test
