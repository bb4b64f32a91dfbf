#include "reference/ReferenceTally.h"

#include <cmath>

#include "common/NumberText.h"

namespace qm::reference {

int referenceSubjectIndex(const std::string& code) {
    const char* codes[] = {"M", "E", "C", "W", "Z", "L", "T", "D", "S"};
    for (int s = 0; s < 9; ++s) {
        if (code == codes[s]) {
            return s;
        }
    }
    return -1;
}

int referenceBand(double score) {
    return static_cast<int>(std::trunc(score / 10.0));
}

void ReferenceTally::addStudent(ReferenceStudent* student) {
    count = count + 1;
    if (trimmed(student->sex) == "男") {
        boys = boys + 1;
    }
    if (trimmed(student->sex) == "女") {
        girls = girls + 1;
    }
    students.resize(static_cast<std::size_t>(count));
    students[static_cast<std::size_t>(count) - 1] = student;
}

int ReferenceTally::sexCount(const std::string& sex) const {
    if (sex == "男") {
        return boys;
    }
    if (sex == "女") {
        return girls;
    }
    return 0;
}

double ReferenceTally::average(const std::string& code) const {
    const int subject = referenceSubjectIndex(code);
    double sum = 0;
    for (const ReferenceStudent* student : students) {
        sum += subject >= 0 ? student->scores[subject] : student->total;
    }
    return sum / count;
}

int ReferenceTally::bandCount(const std::string& code, double score) const {
    const int band = referenceBand(score);
    const int subject = referenceSubjectIndex(code);
    if (subject < 0) {
        return 0;
    }
    int n = 0;
    for (const ReferenceStudent* student : students) {
        if (referenceBand(student->scores[subject]) == band) {
            ++n;
        }
    }
    return n;
}

int ReferenceTally::bandSwapTest(const std::string& code, const ReferenceTargets& targets,
                                 double leaving, double entering) const {
    const int bandL = referenceBand(leaving);
    const int bandE = referenceBand(entering);
    if (bandL == bandE) {
        return 0;
    }
    if (referenceSubjectIndex(code) < 0) {
        return 0;
    }
    const int c = bandCount(code, leaving);
    const int d = bandCount(code, entering);
    // Bands outside the table have target 0.
    const int targetL = bandL >= 0 && bandL <= 1000 ? targets[bandL] : 0;
    const int targetE = bandE >= 0 && bandE <= 1000 ? targets[bandE] : 0;
    if (targetL < c && targetE > d) {
        return 1;
    }
    if ((c - targetL) - (d - targetE) > inter) {
        return 1;
    }
    return -1;
}

bool ReferenceTally::hasPingyin(const std::string& pinyin) const {
    for (const ReferenceStudent* student : students) {
        if (student->pingyin == pinyin) {
            return true;
        }
    }
    return false;
}

bool ReferenceTally::hasOtherPingyin(int studentId, const std::string& pinyin) const {
    for (const ReferenceStudent* student : students) {
        if (student->studentId != studentId && student->pingyin == pinyin) {
            return true;
        }
    }
    return false;
}

}  // namespace qm::reference
