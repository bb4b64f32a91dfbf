#pragma once

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/DivisionRun.h"
#include "engine/RunSettings.h"
#include "engine/Tdistribute.h"
#include "engine/Tstudent.h"

namespace qm::db {
class Connection;
class Row;
}  // namespace qm::db

namespace qm::engine {

// One pass of a division over one student table (the project's table, or its twin while a
// category or chosen classes are divided): loads the students already placed (types 2 and 3)
// into the classes they sit in, places the waiting students of each sex by descending total,
// marks them placed, fine-tunes after each sex, and writes every student's class back.
class DivisionPass {
  public:
    // classIds[i] is the class number tally i stands for.
    DivisionPass(db::Connection& connection, const std::string& table, std::vector<int> classIds,
                 const RunSettings& settings, std::string stage, DivisionObserver& observer);
    void run();

  private:
    void loadPlacedStudents();
    void placeSex(const std::string& sex);
    void tune(const std::string& sex);
    void writeBack();
    Tstudent& newStudent(const db::Row& row, int placeType);
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
    std::deque<Tstudent> students_;  // a deque: the classes keep pointers to its elements
    std::vector<Tdistribute> classes_;
    std::unordered_map<std::string, int> sexKeys_;
    std::unordered_map<std::string, int> pinyinKeys_;
};

}  // namespace qm::engine
