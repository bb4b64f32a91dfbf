#include "CohortGenerator.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace qm::test {

int CohortGenerator::between(int low, int high) {
    // A plain modulo keeps the sequence the same with every standard library.
    return low + static_cast<int>(random_() % static_cast<std::uint32_t>(high - low + 1));
}

double CohortGenerator::score(ScoreKind kind, int level) {
    // Around the student's level, within 0 to 100 (now and then up to 120).
    const int ceiling = chance(3) ? 120 : 100;
    const int whole = std::clamp(level + between(-25, 25), 0, ceiling);
    switch (kind) {
        case ScoreKind::Whole:
            return whole;
        case ScoreKind::HalfPoint:
            return whole - (whole > 0 && chance(50) ? 0.5 : 0.0);
        case ScoreKind::OneDecimal:
            return whole > 0 ? whole - between(0, 9) / 10.0 : 0.0;
    }
    return whole;
}

GeneratedCohort CohortGenerator::next(const CohortShape& shape) {
    GeneratedCohort cohort;
    cohort.classCount = between(shape.minClasses, shape.maxClasses);
    const int studentCount = between(shape.minStudents, shape.maxStudents);
    if (!chance(8)) {
        store::DivisionSettings settings;
        settings.is_avg_person = between(0, 1);
        settings.is_avg_total = between(0, 1);
        settings.is_avg_ch = between(0, 1);
        settings.is_avg_math = between(0, 1);
        settings.is_avg_eng = between(0, 1);
        settings.is_avg_inter = between(0, 1);
        settings.inter = between(0, 3);
        settings.is_man = between(0, 2);
        settings.wtNum = between(-1, shape.maxWtNum);
        cohort.settings = settings;
    }
    const ScoreKind kind = static_cast<ScoreKind>(between(0, 2));
    std::array<bool, 9> taken{};
    for (auto& subject : taken) {
        subject = !chance(15);
    }
    const int pinyinPool = between(1, std::max(2, studentCount));
    const int categoryCount = chance(40) ? 0 : between(1, 3);
    const std::vector<std::string> labels = {"A", "B类", "O'K"};
    std::set<int> ids;
    while (static_cast<int>(ids.size()) < studentCount) {
        ids.insert(between(1, studentCount * 20));
    }
    std::vector<int> idList(ids.begin(), ids.end());
    std::shuffle(idList.begin(), idList.end(), random_);
    for (int id : idList) {
        StudentRow student;
        student.student_id = id;
        student.student_name = "学生" + std::to_string(id);
        const int sexRoll = between(1, 100);
        // Now and then a sex with a trailing blank: it counts as the same sex as without.
        student.sex = sexRoll <= 46   ? "男"
                      : sexRoll <= 48 ? "男 "
                      : sexRoll <= 94 ? "女"
                      : sexRoll <= 96 ? "女 "
                      : sexRoll <= 98 ? ""
                                      : "x";
        if (!cohort.students.empty() && chance(5)) {
            student.scores = cohort
                                 .students[static_cast<std::size_t>(
                                     between(0, static_cast<int>(cohort.students.size()) - 1))]
                                 .scores;
        } else {
            const int level = between(35, 95);
            for (int s = 0; s < 9; ++s) {
                student.scores[s] = taken[s] ? score(kind, level) : 0.0;
            }
        }
        const int pinyin = between(0, pinyinPool);
        student.pingyin = pinyin == 0 ? "" : "PY " + std::to_string(pinyin);
        if (chance(10)) {
            student.pingyin += " ";  // trailing blanks do not make a pinyin different
        }
        if (categoryCount > 0 && chance(30)) {
            const int label = between(0, categoryCount);
            student.pfType = label == categoryCount ? std::string() : labels[label];
        } else if (chance(10)) {
            student.pfType = std::nullopt;
        } else {
            student.pfType = std::string();
        }
        const int typeRoll = between(1, 100);
        if (typeRoll <= 8) {
            student.type = 2;
            student.class_id = between(0, cohort.classCount + 2);
        } else if (typeRoll <= 12) {
            student.type = between(1, 3);  // left from an earlier run; a division resets it
            student.class_id = between(1, cohort.classCount);
        }
        cohort.students.push_back(student);
    }
    const int chosen = between(1, cohort.classCount);
    std::vector<int> all;
    for (int c = 1; c <= cohort.classCount; ++c) {
        all.push_back(c);
    }
    std::shuffle(all.begin(), all.end(), random_);
    cohort.redivideClasses.assign(all.begin(), all.begin() + chosen);
    return cohort;
}

}  // namespace qm::test
