#pragma once

#include <deque>
#include <string>
#include <vector>

#include "reference/ReferenceTally.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
class Row;
}  // namespace qm::db

namespace qm::reference {

// The division rules written out literally and slowly, as the reference the real engine is
// tested against: full division, re-division, placement, fine tuning and write-back, each
// statement and each walk as the rules state it (with the system's corrections). Console lines
// are collected in lines.
class ReferenceDivision {
  public:
    ReferenceDivision(db::Connection& connection, store::CurrentProject project);

    void divide();
    void redivide(const std::vector<int>& chosen);

    std::vector<std::string> lines;

  private:
    void iniConfig();
    void fbBegin();
    void distbByType(const std::string& sex);
    int findMixClass(const std::string& sex, const ReferenceStudent& student) const;
    void inchingDist();
    bool classTest(const double before[10], const double after[10], int bandScore) const;
    void deviations(const ReferenceTally& tally, double out[10]) const;
    int bandScore(const ReferenceTally& tally, const ReferenceStudent& leaving,
                  const ReferenceStudent& entering) const;
    void showGrid();
    void reportUnplaced();
    ReferenceStudent* newStudent(const db::Row& row, int placeType);

    db::Connection& connection_;
    store::CurrentProject project_;
    std::string fbTable_;
    int numClass_ = 0;
    int isAvgTotal_ = 0, isAvgCh_ = 0, isAvgMath_ = 0, isAvgEng_ = 0, isAvgInter_ = 0;
    int isMan_ = 0, inter_ = 0;
    long long wtNum_ = 0;
    bool isRefb_ = false;
    std::vector<int> classIds_;
    std::vector<ReferenceTally> classes_;
    std::deque<ReferenceStudent> students_;
    int cohort_[10] = {};
    std::array<ReferenceTargets, 9> targets_{};
};

}  // namespace qm::reference
