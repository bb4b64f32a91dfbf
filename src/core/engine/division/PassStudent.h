#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/common/Subject.h"

namespace qm::engine {

// One student taking part in a division pass.
class PassStudent {
  public:
    // Stores the values unchanged; always true.
    bool setInfo(int id, std::string name, int adjustedMark, std::string sexText, int place,
                 std::string pinyinText);
    // Stores the nine scores in table order (math, english, chinese, wuli, zhengzhi, lishi, tiyu,
    // dili, shengwu), then the total (added in that order) and the average (total / 9); true.
    bool setScores(double math, double english, double chinese, double wuli, double zhengzhi,
                   double lishi, double tiyu, double dili, double shengwu);
    // True when all nine scores equal the other student's.
    bool sameScores(const PassStudent& other) const;

    double score(Subject subject) const { return scores[subject]; }
    // A subject's score, or the total for kTotal.
    double quantity(int index) const { return index == kTotal ? total : scores[index]; }
    int band(Subject subject) const { return bands[subject]; }

    int studentId = 0;
    std::string studentName;
    int adjusted = 0;  // 1 after taking part in an exchange kept in the current tuning pass
    std::array<double, kSubjectCount> scores{};
    double average = 0;
    double total = 0;
    std::string sex;
    int placeType = 0;   // 2 for students loaded as already placed; they never move
    std::string pinyin;  // as the pingyin column holds it

    // Whether fine tuning may exchange the student: not when it was loaded as already placed,
    // nor when it belongs to a 同班 group (moving one member alone would split the group).
    bool movable() const { return placeType < 2 && !inTogetherGroup; }

    // The teacher's groups (see GroupSeating): the 分开 groups this student is counted in
    // wherever it sits (by key; empty for most students), and whether it is in a 同班 group.
    std::vector<int> apartKeys;
    bool inTogetherGroup = false;

    // Kept for speed: the score band of every subject, and small numbers that stand for the sex
    // and pinyin texts (equal texts, equal numbers) within one pass.
    std::array<int, kSubjectCount> bands{};
    int sexKey = -1;
    int pinyinKey = -1;
};

}  // namespace qm::engine
