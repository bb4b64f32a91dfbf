#include "support/SchoolCohort.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "db/Connection.h"
#include "db/Transaction.h"
#include "engine/common/DeterministicRandom.h"
#include "store/StudentTable.h"

namespace qm::test {

namespace {

double normal(engine::DeterministicRandom& random) {
    const double u = std::max(random.uniform(), 1e-12);
    return std::sqrt(-2 * std::log(u)) * std::cos(6.283185307179586 * random.uniform());
}

}  // namespace

void insertSchoolCohort(db::Connection& connection, const std::string& table,
                        const SchoolCohort& cohort) {
    static const char* const syllables[] = {"ZHANG", "WANG", "LI", "LIU",  "CHEN", "YANG",
                                            "HUANG", "ZHAO", "WU", "ZHOU", "XU",   "SUN",
                                            "MA",    "ZHU",  "HU", "GUO",  "HE",   "LIN"};
    engine::DeterministicRandom random(static_cast<std::uint64_t>(cohort.students) * 7919 +
                                       static_cast<std::uint64_t>(cohort.subjects) +
                                       static_cast<std::uint64_t>(cohort.seed) * 1000003);
    db::Transaction transaction(connection);
    auto insert = connection.prepare(store::insertStudentSql(table));
    for (int i = 0; i < cohort.students; ++i) {
        const double ability = 72 + 12 * normal(random);
        const bool fixed = random.uniform() < 0.03;
        const double categoryRoll = random.uniform();
        int p = 1;
        insert.bind(p++, 100000 + i);
        insert.bind(p++, "");
        insert.bind(p++, "学生" + std::to_string(i));
        insert.bind(p++, random.uniform() < 0.5 ? "男" : "女");
        insert.bind(p++, fixed ? 1 + random.below(cohort.classes) : 0);
        for (int s = 0; s < 9; ++s) {
            double score = std::clamp(ability + 10 * normal(random), 0.0, 100.0);
            score = s % 3 == 2 ? std::round(score * 10) / 10 : std::round(score);
            insert.bind(p++, s < cohort.subjects ? score : 0.0);
        }
        insert.bind(p++, "");
        insert.bind(p++, "");
        insert.bind(p++, fixed ? 2 : 0);
        insert.bind(p++, std::string(syllables[random.below(18)]) + " " +
                             syllables[random.below(18)] + " " + syllables[random.below(18)]);
        insert.bind(p++, "");
        insert.bind(p++, categoryRoll < 0.05 ? "体育特长" : categoryRoll < 0.10 ? "艺术" : "");
        insert.execute();
    }
    transaction.commit();
}

}  // namespace qm::test
