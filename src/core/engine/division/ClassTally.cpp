#include "engine/division/ClassTally.h"

#include "common/NumberText.h"

namespace qm::engine {

void ClassTally::addStudent(PassStudent* student) {
    const std::string sex = trimmed(student->sex);
    if (sex == "男") {
        ++boys;
    }
    if (sex == "女") {
        ++girls;
    }
    students.push_back(student);
    tally(*student, 1);
}

int ClassTally::sexCount(std::string_view sex) const {
    if (sex == "男") {
        return boys;
    }
    if (sex == "女") {
        return girls;
    }
    return 0;
}

double ClassTally::average(int quantity) const {
    return walkedSum(quantity, -1, nullptr) / count();
}

double ClassTally::walkedSum(int quantity, int slot, const PassStudent* substitute) const {
    double sum = 0;
    for (int i = 0; i < count(); ++i) {
        const PassStudent* student = i == slot ? substitute : students[i];
        sum += student->quantity(quantity);
    }
    return sum;
}

int ClassTally::bandCount(std::string_view code, double score) const {
    const auto subject = subjectFromCode(code);
    return subject ? bandCount(*subject, scoreBand(score)) : 0;
}

int ClassTally::bandSwapTest(std::string_view code, const BandTargets& targets, double leaving,
                             double entering) const {
    const auto subject = subjectFromCode(code);
    return subject ? bandSwapTest(*subject, targets, scoreBand(leaving), scoreBand(entering)) : 0;
}

int ClassTally::pinyinCount(int pinyinKey) const {
    return pinyinKey >= 0 ? pinyinCounts_.count(pinyinKey) : 0;
}

bool ClassTally::hasOtherPinyin(int studentId, int pinyinKey) const {
    for (const PassStudent* student : students) {
        if (student->studentId != studentId && student->pinyinKey == pinyinKey) {
            return true;
        }
    }
    return false;
}

int ClassTally::apartCount(int apartKey) const {
    return apartKey >= 0 ? apartCounts_.count(apartKey) : 0;
}

void ClassTally::holdApartPlaces(const std::vector<int>& apartKeys, int delta) {
    for (int key : apartKeys) {
        apartCounts_.add(key, delta);
    }
}

PassStudent* ClassTally::replace(int slot, PassStudent* incoming) {
    PassStudent* leaving = students[slot];
    tally(*leaving, -1);
    tally(*incoming, 1);
    students[slot] = incoming;
    return leaving;
}

void ClassTally::tally(const PassStudent& student, int delta) {
    for (int q = 0; q < kQuantityCount; ++q) {
        if (delta > 0) {
            sums_[q].add(student.quantity(q));
        } else {
            sums_[q].remove(student.quantity(q));
        }
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        bandColumns_[s].add(student.bands[s], delta);
    }
    if (student.pinyinKey >= 0) {
        pinyinCounts_.add(student.pinyinKey, delta);
    }
    holdApartPlaces(student.apartKeys, delta);
}

void ClassTally::BandColumn::add(int band, int delta) {
    if (counts.empty()) {
        firstBand = band;
    }
    if (band < firstBand) {
        counts.insert(counts.begin(), static_cast<std::size_t>(firstBand - band), 0);
        firstBand = band;
    }
    const std::size_t index = static_cast<std::size_t>(band - firstBand);
    if (index >= counts.size()) {
        counts.resize(index + 1, 0);
    }
    counts[index] += delta;
}

}  // namespace qm::engine
