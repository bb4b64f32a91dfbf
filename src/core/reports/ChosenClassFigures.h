#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::reports {

// The 总分 average of one class and its deviation from the average of all students of the table,
// as the class statistics compute them. Nothing for a class without students.
struct ClassTotal {
    int classId = 0;
    int students = 0;
    std::optional<double> average;
    std::optional<double> deviation;
};

// How even chosen classes are in the total: each class's figures, in the order chosen, and the
// largest deviation among them either way.
struct ChosenClassFigures {
    std::vector<ClassTotal> classes;
    std::optional<double> cohortAverage;
    std::optional<double> largestDeviation;
};

ChosenClassFigures chosenClassFigures(db::Connection& connection, const std::string& table,
                                      const std::vector<int>& classes);

// The console lines that set the figures of the same classes before and after a re-division side
// by side, so that a teacher sees whether it made them more even.
std::vector<std::string> comparisonLines(const ChosenClassFigures& before,
                                         const ChosenClassFigures& after);

}  // namespace qm::reports
