#include "engine/optimisation/PinyinApartRule.h"

#include <map>
#include <string>

namespace qm::engine {

PinyinApartRule::PinyinApartRule(const PlacedCohort& cohort, const std::vector<int>& classOf) {
    std::map<std::string, int> holders;
    for (const auto& student : cohort.students) {
        ++holders[student.pinyin];
    }
    // Only readings that two or more students share are numbered: the others never clash.
    std::map<std::string, int> shared;
    for (const auto& student : cohort.students) {
        readingOf_.push_back(
            holders[student.pinyin] < 2
                ? kUnshared
                : shared.try_emplace(student.pinyin, static_cast<int>(shared.size()))
                      .first->second);
    }
    counts_ = ClassKeyCounts(cohort.classCount, shared.size());
    for (std::size_t i = 0; i < readingOf_.size(); ++i) {
        if (readingOf_[i] != kUnshared) {
            counts_.add(classOf[i], readingOf_[i]);
        }
    }
}

bool PinyinApartRule::allows(const Exchange& exchange) const {
    const int readingA = readingOf_[static_cast<std::size_t>(exchange.a)];
    const int readingB = readingOf_[static_cast<std::size_t>(exchange.b)];
    // Students reading the same leave room for each other.
    const int leaving = readingA == readingB ? 1 : 0;
    return (readingA == kUnshared || counts_.at(exchange.classB, readingA) - leaving == 0) &&
           (readingB == kUnshared || counts_.at(exchange.classA, readingB) - leaving == 0);
}

void PinyinApartRule::applied(const Exchange& exchange) {
    const int readingA = readingOf_[static_cast<std::size_t>(exchange.a)];
    const int readingB = readingOf_[static_cast<std::size_t>(exchange.b)];
    if (readingA != kUnshared) {
        counts_.move(readingA, exchange.classA, exchange.classB);
    }
    if (readingB != kUnshared) {
        counts_.move(readingB, exchange.classB, exchange.classA);
    }
}

bool PinyinApartRule::allowsMove(int student, int to) const {
    return readingOf(student) == kUnshared || counts_.at(to, readingOf(student)) == 0;
}

void PinyinApartRule::moved(int student, int from, int to) {
    if (readingOf(student) != kUnshared) {
        counts_.move(readingOf(student), from, to);
    }
}

}  // namespace qm::engine
