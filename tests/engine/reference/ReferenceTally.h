#pragma once

#include <array>
#include <string>
#include <vector>

#include "reference/ReferenceStudent.h"

namespace qm::reference {

// The band targets of one subject, indexed by band 0 to 1000.
using ReferenceTargets = std::array<int, 1001>;

// A class of the literal reference division: every question walks the student list, as the
// rules state them, with nothing kept between calls.
class ReferenceTally {
  public:
    void addStudent(ReferenceStudent* student);
    int sexCount(const std::string& sex) const;
    // The average of a subject ("M", "E", ... as for bandCount) or of the total ("TOTAL").
    double average(const std::string& code) const;
    int bandCount(const std::string& code, double score) const;
    int bandSwapTest(const std::string& code, const ReferenceTargets& targets, double leaving,
                     double entering) const;
    bool hasPingyin(const std::string& pinyin) const;
    bool hasOtherPingyin(int studentId, const std::string& pinyin) const;

    std::vector<ReferenceStudent*> students;
    int count = 0;
    int boys = 0;
    int girls = 0;
    int inter = 0;
};

// The index of a subject code among the nine scores, or -1.
int referenceSubjectIndex(const std::string& code);
int referenceBand(double score);

}  // namespace qm::reference
