#include "engine/balance/BalanceBaselines.h"

#include <algorithm>
#include <map>
#include <string>

#include "engine/common/DeterministicRandom.h"

namespace qm::engine {

namespace {

// The students who are not fixed, by sex, in cohort order, and the places each class has for
// every sex.
struct SexPlaces {
    std::vector<int> students;
    std::vector<int> places;  // per class
};

std::map<std::string, SexPlaces> placesBySex(const PlacedCohort& cohort) {
    std::map<std::string, SexPlaces> sexes;
    for (std::size_t i = 0; i < cohort.students.size(); ++i) {
        const PlacedStudent& student = cohort.students[i];
        if (student.fixed) {
            continue;
        }
        SexPlaces& sex = sexes[student.sex];
        sex.places.resize(static_cast<std::size_t>(cohort.classCount), 0);
        sex.students.push_back(static_cast<int>(i));
        ++sex.places[static_cast<std::size_t>(student.classIndex)];
    }
    return sexes;
}

}  // namespace

std::vector<int> randomDivision(const PlacedCohort& cohort, std::uint64_t seed) {
    std::vector<int> classOf = cohort.presentClasses();
    DeterministicRandom random(seed);
    for (auto& [sex, group] : placesBySex(cohort)) {
        // Fisher-Yates with the generator above, the same everywhere.
        for (int i = static_cast<int>(group.students.size()) - 1; i > 0; --i) {
            std::swap(group.students[static_cast<std::size_t>(i)],
                      group.students[static_cast<std::size_t>(random.below(i + 1))]);
        }
        std::size_t next = 0;
        for (int c = 0; c < cohort.classCount; ++c) {
            for (int place = 0; place < group.places[static_cast<std::size_t>(c)]; ++place) {
                classOf[static_cast<std::size_t>(group.students[next++])] = c;
            }
        }
    }
    return classOf;
}

std::vector<int> serpentineDivision(const PlacedCohort& cohort) {
    std::vector<int> classOf = cohort.presentClasses();
    for (auto& [sex, group] : placesBySex(cohort)) {
        std::stable_sort(group.students.begin(), group.students.end(), [&](int a, int b) {
            return cohort.students[static_cast<std::size_t>(a)].values[kTotal] >
                   cohort.students[static_cast<std::size_t>(b)].values[kTotal];
        });
        // The draft order 0, 1, ..., N-1, N-1, ..., 0, 0, 1, ...: step in one direction and turn
        // at either end, each end class drawing twice in a row.
        int c = 0;
        int step = 1;
        auto advance = [&] {
            c += step;
            if (c < 0 || c >= cohort.classCount) {
                step = -step;
                c += step;
            }
        };
        for (int student : group.students) {
            while (group.places[static_cast<std::size_t>(c)] == 0) {
                advance();
            }
            classOf[static_cast<std::size_t>(student)] = c;
            --group.places[static_cast<std::size_t>(c)];
            advance();
        }
    }
    return classOf;
}

}  // namespace qm::engine
