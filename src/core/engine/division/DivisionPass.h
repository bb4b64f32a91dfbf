#pragma once

#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/common/DivisionObserver.h"
#include "engine/common/RunSettings.h"
#include "engine/division/ClassTally.h"
#include "engine/division/GroupSeating.h"
#include "engine/division/PassStudent.h"
#include "engine/groups/GroupPlan.h"

namespace qm::db {
class Connection;
class Row;
}  // namespace qm::db

namespace qm::engine {

// One pass of a division over one student table (the project's table, or its twin while a
// category or chosen classes are divided): loads the students already placed (types 2 and 3)
// into the classes they sit in, places the waiting students of each sex by descending total,
// marks them placed, fine-tunes after each sex, and writes every student's class back.
//
// With the teacher's groups, a 同班 group joins the class chosen for its first member (or the
// class it already has), all its members at once; a student joins only a class where no student
// of its 分开 groups sits (or, when every class holds one, the class the rules choose, which
// the run then reports); fine tuning makes no exchange that breaks a group. Without groups
// every decision is the one the plain rules make.
class DivisionPass {
  public:
    // classIds[i] is the class number tally i stands for.
    DivisionPass(db::Connection& connection, const std::string& table, std::vector<int> classIds,
                 const RunSettings& settings, std::string stage, DivisionObserver& observer,
                 const GroupPlan& groups);
    void run();

  private:
    void loadPlacedStudents();
    void loadOutsideMembers();
    void placeSex(const std::string& sex);
    void placeWithGroups(const std::string& sex, PassStudent& student);
    void join(PassStudent& student, int c);
    void tune(const std::string& sex);
    void writeBack();
    PassStudent& newStudent(const db::Row& row, int placeType);
    void say(const std::string& line);
    long long tuningPasses() const;
    void report(const std::string& sex, int pass);
    void stopIfCancelled();

    db::Connection& connection_;
    std::string table_;
    std::vector<int> classIds_;
    RunSettings settings_;
    std::string stage_;
    DivisionObserver& observer_;
    const GroupPlan& groups_;
    std::deque<PassStudent> students_;  // a deque: the classes keep pointers to its elements
    std::vector<ClassTally> classes_;
    std::optional<GroupSeating> seating_;  // only when the project has groups
    std::unordered_map<std::string, int> sexKeys_;
    std::unordered_map<std::string, int> pinyinKeys_;
};

}  // namespace qm::engine
