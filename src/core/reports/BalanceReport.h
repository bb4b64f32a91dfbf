#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/balance/BalanceFigures.h"
#include "reports/TextTable.h"
#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::reports {

// The balance figures (均衡度) of a project's present classes, beside those of two simple ways
// of dividing the same students: a random division and a serpentine draft by total within each
// sex (both keep the fixed students and every class's number of boys and girls).
struct BalanceReport {
    engine::BalanceFigures present;
    engine::BalanceFigures random;
    engine::BalanceFigures serpentine;
};

// Computes the report of the project's student table; nothing when no student sits in one of
// the project's classes yet.
std::optional<BalanceReport> computeBalanceReport(db::Connection& connection,
                                                  const store::CurrentProject& project);

// One figure in the three divisions.
struct BalanceRow {
    std::string label;             // e.g. 总分平均分最大相差
    std::array<double, 3> values;  // present, random, serpentine
    bool points = false;           // an average in points (two decimals); else a head count
};

// The headings of the table: what is measured, then the three divisions.
inline constexpr std::array<const char*, 4> kBalanceHeadings = {"均衡度", "本次分班", "随机分班",
                                                                "蛇形分班"};

// The table: for the total and each subject taken (in the order of the statistics pages) the
// spread of class averages and the largest deviation from the average of all students; per
// subject the largest spread of head counts in one band; the spreads of boys, girls and class
// sizes; per category the spread of its head counts.
std::vector<BalanceRow> balanceRows(const BalanceReport& report);

// The table as text, headings first; averages with two decimals.
TextRows balanceTextRows(const BalanceReport& report);

// The figures of several divisions side by side (such as two saved versions), under the
// headings (what is measured, then one per division), in the rows of balanceTextRows: a row
// where at least one division has the figure, its cell empty in a division without it (a subject
// nobody there takes, a category none of its students has, a null division).
TextRows balanceComparisonRows(const std::vector<std::string>& headings,
                               const std::vector<const engine::BalanceFigures*>& divisions);

// The figures in plain words, one line each, such as
// "总分平均分最大相差 0.4 分；随机分班为 12.8 分，蛇形分班为 4.9 分".
std::vector<std::string> balanceSummary(const BalanceReport& report);

}  // namespace qm::reports
