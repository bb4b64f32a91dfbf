#include "engine/Tdistribute.h"

#include "common/NumberText.h"

namespace qm::engine {

void Tdistribute::addStudent(Tstudent* student) {
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

int Tdistribute::sexCount(std::string_view sex) const {
    if (sex == "男") {
        return boys;
    }
    if (sex == "女") {
        return girls;
    }
    return 0;
}

double Tdistribute::average(int quantity) const {
    return walkedSum(quantity, -1, nullptr) / count();
}

double Tdistribute::walkedSum(int quantity, int slot, const Tstudent* substitute) const {
    double sum = 0;
    for (int i = 0; i < count(); ++i) {
        const Tstudent* student = i == slot ? substitute : students[i];
        sum += student->quantity(quantity);
    }
    return sum;
}

int Tdistribute::bandCount(std::string_view code, double score) const {
    const auto subject = subjectFromCode(code);
    return subject ? bandCount(*subject, scoreBand(score)) : 0;
}

int Tdistribute::bandSwapTest(std::string_view code, const BandTargets& targets, double leaving,
                              double entering) const {
    const auto subject = subjectFromCode(code);
    return subject ? bandSwapTest(*subject, targets, scoreBand(leaving), scoreBand(entering)) : 0;
}

int Tdistribute::pinyinCount(int pinyinKey) const {
    return pinyinKey >= 0 ? pinyinCounts_.count(pinyinKey) : 0;
}

bool Tdistribute::hasOtherPingyin(int studentId, int pinyinKey) const {
    for (const Tstudent* student : students) {
        if (student->studentId != studentId && student->pinyinKey == pinyinKey) {
            return true;
        }
    }
    return false;
}

int Tdistribute::apartCount(int apartKey) const {
    return apartKey >= 0 ? apartCounts_.count(apartKey) : 0;
}

void Tdistribute::holdApartPlaces(const std::vector<int>& apartKeys, int delta) {
    for (int key : apartKeys) {
        apartCounts_.add(key, delta);
    }
}

Tstudent* Tdistribute::replace(int slot, Tstudent* incoming) {
    Tstudent* leaving = students[slot];
    tally(*leaving, -1);
    tally(*incoming, 1);
    students[slot] = incoming;
    return leaving;
}

void Tdistribute::tally(const Tstudent& student, int delta) {
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

void Tdistribute::BandColumn::add(int band, int delta) {
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
