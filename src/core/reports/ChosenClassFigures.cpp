#include "reports/ChosenClassFigures.h"

#include <cmath>

#include "common/NumberText.h"
#include "db/Connection.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

// The sum of the nine scores, as the statistics' 总分.
std::string totalExpression() {
    std::string total;
    for (auto subject : store::kScoreColumns) {
        total += (total.empty() ? "" : "+") + std::string(subject);
    }
    return total;
}

std::optional<double> valueOf(const db::Value& value) {
    return value.isNull() ? std::nullopt : std::optional(value.toDouble());
}

// "512.30 (偏差 -2.10)", or "没有学生".
std::string figureText(const ClassTotal& figures) {
    if (!figures.average || !figures.deviation) {
        return "没有学生";
    }
    return decimalText(*figures.average, 2) + " (偏差 " + decimalText(*figures.deviation, 2, true) +
           ")";
}

std::string deviationText(const std::optional<double>& deviation) {
    return deviation ? decimalText(*deviation, 2) : "-";
}

}  // namespace

ChosenClassFigures chosenClassFigures(db::Connection& connection, const std::string& table,
                                      const std::vector<int>& classes) {
    const std::string& name = store::checkedTableName(table);
    const std::string average = "avg(" + totalExpression() + ")";
    ChosenClassFigures figures;
    figures.cohortAverage = valueOf(connection.query("select " + average + " from " + name)[0][0]);
    auto ofClass =
        connection.prepare("select count(*)," + average + " from " + name + " where class_id=?");
    for (int classId : classes) {
        ofClass.bind(1, classId);
        const auto row = ofClass.query();
        ClassTotal total{.classId = classId, .students = static_cast<int>(row[0][0].toInt())};
        total.average = valueOf(row[0][1]);
        if (total.average && figures.cohortAverage) {
            total.deviation = *total.average - *figures.cohortAverage;
            const double size = std::fabs(*total.deviation);
            if (!figures.largestDeviation || size > *figures.largestDeviation) {
                figures.largestDeviation = size;
            }
        }
        figures.classes.push_back(total);
    }
    return figures;
}

std::vector<std::string> comparisonLines(const ChosenClassFigures& before,
                                         const ChosenClassFigures& after) {
    std::vector<std::string> lines = {"重新分班前后各班总分平均分（偏差为与全体学生平均分之差）:"};
    for (std::size_t i = 0; i < before.classes.size() && i < after.classes.size(); ++i) {
        lines.push_back(std::to_string(before.classes[i].classId) + "班: " +
                        figureText(before.classes[i]) + " → " + figureText(after.classes[i]));
    }
    lines.push_back("最大偏差: " + deviationText(before.largestDeviation) + " → " +
                    deviationText(after.largestDeviation));
    return lines;
}

}  // namespace qm::reports
