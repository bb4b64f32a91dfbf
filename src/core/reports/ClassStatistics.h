#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reports/ClassList.h"
#include "reports/StatGrid.h"
#include "store/StudentTable.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

using store::kNoStudentsMessage;

// The name of the last row of 班级信息, the figures of all students together.
inline constexpr const char* kCohortRowName = "全体";

// A deviation shown beyond this, either way, is marked red.
inline constexpr double kDeviationLimit = 1.0;

// One figure of the classes (the total or a subject) as the statistics show it, for a chart: the
// average of all students and of each class that a division placed (未分班 left out), each as
// shown (two decimals), and whether the class's deviation is shown in red. A value is missing
// where no score has one.
struct AverageFigure {
    std::string name;  // 总分, 数学, 英语, ...
    std::optional<double> cohort;
    std::vector<std::optional<double>> classes;  // in the order of AverageFigures::classNames
    std::vector<bool> red;
};

// The figures of the placed classes: the total first, then the subjects in the order of 班级信息.
struct AverageFigures {
    std::vector<std::string> classNames;  // 1班, 2班, ...
    std::vector<AverageFigure> figures;
};

// How even the classes of a student table are, as the eleven grids of the class statistics:
//   classInfo   班级信息: per class boys, girls, head count, and for each subject and the total
//               the class average and its deviation from the average of all students ("%8.2f");
//               rows 1..N the classes in ascending number (未分班 first), row N+1 all students
//               together, named 全体
//   bands       语文 … 生物: per class the head count in each ten-point band 0~9分 … 150分
//   categories  每一类的人数: per class the head count of each category
// with every class the grids show, and the classes that can be chosen for a re-division: all but
// 未分班, the students no division placed, who are never divided again by choice; and the class
// averages of 班级信息 as figures, for the chart (left empty by statisticsOfClasses).
struct ClassStatistics {
    StatGrid classInfo;
    std::vector<StatGrid> bands;
    StatGrid categories;
    std::vector<ClassEntry> classes;
    std::vector<ClassEntry> redivisionClasses;
    AverageFigures averages;

    // The eleven grids in page order: classInfo, the nine band grids, categories.
    std::vector<const StatGrid*> grids() const;
};

// Columns of classInfo.
inline constexpr std::size_t kClassNameColumn = 1;
inline constexpr std::size_t kBoysColumn = 2;
inline constexpr std::size_t kGirlsColumn = 3;
inline constexpr std::size_t kHeadCountColumn = 4;
inline constexpr std::size_t kFirstAverageColumn = 5;  // then deviation, average, ... up to 24
inline constexpr std::size_t kRedivisionMarkColumn = 25;
// True for the deviation columns 6, 8, ..., 24 of classInfo.
bool isDeviationColumn(std::size_t column);

// Computes all figures of the table. A table without students is refused with
// kNoStudentsMessage; a score band below 0 or from 16 up is not shown, nor is a score without
// a value.
ClassStatistics computeClassStatistics(db::Connection& connection, const std::string& table);

// The eleven grids with their titles and no class: what the statistics show of a project without
// students.
ClassStatistics emptyClassStatistics();

}  // namespace qm::reports
