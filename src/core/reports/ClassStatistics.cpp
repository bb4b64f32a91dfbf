#include "reports/ClassStatistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>

#include "common/NumberText.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "reports/StudentColumns.h"
#include "store/GroupCheck.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

// The subjects of the band grids, in page order.
constexpr std::array<std::string_view, 9> kBandSubjects = {
    "chinese", "math", "english", "wuli", "zhengzhi", "lishi", "tiyu", "dili", "shengwu"};
constexpr int kShownBands = 16;  // 0~9分 up to 150分
constexpr std::size_t kBandGridColumns = kShownBands + 2;
constexpr std::size_t kClassInfoColumns = 26;
constexpr std::size_t kFigureCount = store::kScoreColumns.size() + 1;  // the subjects and total

// "avg(math) as math_avg, ..., avg(math+...+shengwu) as total_avg": the ten figures of a group.
std::string averagesSelect() {
    std::string select;
    std::string total;
    for (auto subject : store::kScoreColumns) {
        const std::string name(subject);
        select += "avg(" + name + ") as " + name + "_avg,";
        total += (total.empty() ? "" : "+") + name;
    }
    return select + "avg(" + total + ") as total_avg";
}

std::string figureName(std::size_t index) {
    return index < store::kScoreColumns.size() ? std::string(store::kScoreColumns[index]) + "_avg"
                                               : "total_avg";
}

std::array<std::optional<double>, kFigureCount> figuresOf(const db::Row& row) {
    std::array<std::optional<double>, kFigureCount> figures;
    for (std::size_t j = 0; j < kFigureCount; ++j) {
        const auto& value = row[figureName(j)];
        if (!value.isNull()) {
            figures[j] = value.toDouble();
        }
    }
    return figures;
}

StatCell textCell(std::string text) {
    return {.text = std::move(text)};
}

StatCell countCell(std::int64_t count) {
    return {.text = std::to_string(count), .number = static_cast<double>(count)};
}

StatCell figureCell(double value) {
    StatCell cell{.text = fixed82(value), .twoDecimals = true};
    cell.number = parseNumber(cell.text);
    return cell;
}

// Red when the deviation as shown is beyond 1 either way: 1.004 shows as 1.00 and is not red.
StatCell deviationCell(double value) {
    StatCell cell = figureCell(value);
    cell.red = cell.number && std::fabs(*cell.number) > kDeviationLimit;
    return cell;
}

// Columns 5 to 24 of a classInfo row: each average, then its deviation from the cohort's.
void fillFigures(StatGrid& grid, std::size_t row,
                 const std::array<std::optional<double>, kFigureCount>& figures,
                 const std::array<std::optional<double>, kFigureCount>& cohort) {
    for (std::size_t j = 0; j < kFigureCount; ++j) {
        if (!figures[j] || !cohort[j]) {
            continue;
        }
        grid.cell(row, kFirstAverageColumn + 2 * j) = figureCell(*figures[j]);
        grid.cell(row, kFirstAverageColumn + 2 * j + 1) = deviationCell(*figures[j] - *cohort[j]);
    }
}

using Figures = std::array<std::optional<double>, kFigureCount>;

// The heading of figure j: a subject's, or 总分 after the nine subjects.
std::string figureHeading(std::size_t j) {
    return j < store::kScoreColumns.size() ? std::string(columnHeading(store::kScoreColumns[j]))
                                           : "总分";
}

// The chart's figures of the placed classes, valued as the grid shows them: the total first.
AverageFigures averageFigures(const std::vector<std::string>& classNames,
                              const std::vector<Figures>& ofClasses, const Figures& cohort) {
    AverageFigures averages{.classNames = classNames, .figures = {}};
    for (std::size_t k = 0; k < kFigureCount; ++k) {
        const std::size_t j = (k + kFigureCount - 1) % kFigureCount;  // 总分, then the subjects
        AverageFigure figure{.name = figureHeading(j),
                             .cohort = cohort[j] ? figureCell(*cohort[j]).number : std::nullopt};
        for (const Figures& figures : ofClasses) {
            const bool shown = figures[j] && cohort[j];
            figure.classes.push_back(shown ? figureCell(*figures[j]).number : std::nullopt);
            figure.red.push_back(shown && deviationCell(*figures[j] - *cohort[j]).red);
        }
        averages.figures.push_back(std::move(figure));
    }
    return averages;
}

StatGrid makeClassInfoGrid() {
    StatGrid grid("班级信息", kClassInfoColumns);
    grid.cell(0, kClassNameColumn) = textCell("班级");
    grid.cell(0, kBoysColumn) = textCell("男生数");
    grid.cell(0, kGirlsColumn) = textCell("女生数");
    grid.cell(0, kHeadCountColumn) = textCell("总人数");
    for (std::size_t j = 0; j < kFigureCount; ++j) {
        const std::string subject = figureHeading(j);
        grid.cell(0, kFirstAverageColumn + 2 * j) = textCell(subject + "平均分");
        grid.cell(0, kFirstAverageColumn + 2 * j + 1) = textCell(subject + "偏差");
    }
    grid.cell(0, kRedivisionMarkColumn) = textCell("是否重分");
    return grid;
}

StatGrid makeBandGrid(std::string_view subject) {
    StatGrid grid(std::string(columnHeading(subject)), kBandGridColumns);
    grid.cell(0, 1) = textCell("班级");
    for (int band = 0; band < kShownBands; ++band) {
        const std::string low = std::to_string(band * 10);
        const std::string title =
            band + 1 < kShownBands ? low + "~" + std::to_string(band * 10 + 9) + "分" : low + "分";
        grid.cell(0, static_cast<std::size_t>(band) + 2) = textCell(title);
    }
    return grid;
}

// The grid row of a class: row r holds classOfRow[r]; 0 when the class has no row.
std::size_t rowOfClass(const std::vector<db::Value>& classOfRow, const db::Value& classId) {
    const auto found = std::find(classOfRow.begin() + 1, classOfRow.end(), classId);
    return found == classOfRow.end() ? 0 : static_cast<std::size_t>(found - classOfRow.begin());
}

// Per class the head count in each ten-point band of a subject, in one grouped query.
void fillBandGrid(db::Connection& connection, const std::string& table, std::string_view subject,
                  const std::vector<db::Value>& classOfRow, StatGrid& grid) {
    const std::string band = "int(fdiv(" + std::string(subject) + ",10))";
    const auto counts =
        connection.query("select class_id," + band + " as inter,count(*) as num from " + table +
                         " group by class_id," + band);
    for (const auto row : counts) {
        const std::size_t r = rowOfClass(classOfRow, row["class_id"]);
        if (r == 0 || row["inter"].isNull()) {
            continue;
        }
        const auto inter = row["inter"].toInt();
        if (inter >= 0 && inter < kShownBands) {
            grid.cell(r, static_cast<std::size_t>(inter) + 2) = countCell(row["num"].toInt());
        }
    }
}

// Per class and category the head count; a null or blank category is one category, 未分类.
// Categories come in ascending order.
StatGrid makeCategoryGrid(db::Connection& connection, const std::string& table,
                          const std::vector<db::Value>& classOfRow) {
    const auto counts = connection.query(
        "select trim(coalesce(pfType,'')) as category,class_id,count(*) as num from " + table +
        " group by category,class_id order by category,class_id");
    std::vector<std::string> categories;
    for (const auto row : counts) {
        const std::string category = row["category"].toText();
        if (categories.empty() || categories.back() != category) {
            categories.push_back(category);
        }
    }
    StatGrid grid("每一类的人数", categories.size() + 2);
    for (std::size_t i = 0; i < categories.size(); ++i) {
        grid.cell(0, i + 2) = textCell(categories[i].empty() ? "未分类" : categories[i]);
    }
    for (std::size_t r = 1; r < classOfRow.size(); ++r) {
        grid.addRow();
        grid.cell(r, kClassNameColumn) = textCell(className(classOfRow[r]));
    }
    for (const auto row : counts) {
        const std::size_t r = rowOfClass(classOfRow, row["class_id"]);
        if (r == 0) {
            continue;
        }
        const auto category =
            std::find(categories.begin(), categories.end(), row["category"].toText());
        const std::size_t column = 2 + static_cast<std::size_t>(category - categories.begin());
        grid.cell(r, column) = countCell(row["num"].toInt());
    }
    return grid;
}

}  // namespace

bool isDeviationColumn(std::size_t column) {
    return column > kFirstAverageColumn && column < kRedivisionMarkColumn &&
           (column - kFirstAverageColumn) % 2 == 1;
}

std::vector<const StatGrid*> ClassStatistics::grids() const {
    std::vector<const StatGrid*> all = {&classInfo};
    for (const auto& grid : bands) {
        all.push_back(&grid);
    }
    all.push_back(&categories);
    return all;
}

ClassStatistics emptyClassStatistics() {
    ClassStatistics statistics{.classInfo = makeClassInfoGrid(),
                               .categories = StatGrid("每一类的人数", 2)};
    for (auto subject : kBandSubjects) {
        statistics.bands.push_back(makeBandGrid(subject));
    }
    return statistics;
}

ClassStatistics computeClassStatistics(db::Connection& connection, const std::string& table) {
    const std::string& name = store::checkedTableName(table);
    const auto cohortRows =
        connection.query("select count(*) as num," + averagesSelect() + " from " + name);
    if (cohortRows[0]["num"].toInt() == 0) {
        throw store::NoStudents();
    }
    const auto cohort = figuresOf(cohortRows[0]);

    ClassStatistics statistics = emptyClassStatistics();

    // Row r of every grid is the r-th class; row 0 is the titles.
    std::vector<db::Value> classOfRow = {db::Value()};
    std::vector<std::string> placedNames;
    std::vector<Figures> placedFigures;
    const auto classes = connection.query(
        "select class_id,count(*) as num,count(case when trim(sex)='男' then 1 end) as boys,"
        "count(case when trim(sex)='女' then 1 end) as girls," +
        averagesSelect() + " from " + name + " group by class_id order by class_id");
    for (const auto row : classes) {
        const db::Value classId = row["class_id"];
        const std::size_t r = statistics.classInfo.addRow();
        classOfRow.push_back(classId);
        StatGrid& info = statistics.classInfo;
        info.cell(r, kClassNameColumn) = textCell(className(classId));
        info.cell(r, kBoysColumn) = countCell(row["boys"].toInt());
        info.cell(r, kGirlsColumn) = countCell(row["girls"].toInt());
        info.cell(r, kHeadCountColumn) = countCell(row["num"].toInt());
        fillFigures(info, r, figuresOf(row), cohort);
        if (className(classId) != store::kUnplacedTitle) {
            placedNames.push_back(className(classId));
            placedFigures.push_back(figuresOf(row));
        }
        for (StatGrid& grid : statistics.bands) {
            grid.addRow();
            grid.cell(r, kClassNameColumn) = info.cell(r, kClassNameColumn);
        }
    }
    for (std::size_t s = 0; s < kBandSubjects.size(); ++s) {
        fillBandGrid(connection, name, kBandSubjects[s], classOfRow, statistics.bands[s]);
    }

    const std::size_t cohortRow = statistics.classInfo.addRow();
    statistics.classInfo.cell(cohortRow, kClassNameColumn) = textCell(kCohortRowName);
    fillFigures(statistics.classInfo, cohortRow, cohort, cohort);
    statistics.averages = averageFigures(placedNames, placedFigures, cohort);

    statistics.categories = makeCategoryGrid(connection, name, classOfRow);
    statistics.classes = listClasses(connection, name);
    std::copy_if(statistics.classes.begin(), statistics.classes.end(),
                 std::back_inserter(statistics.redivisionClasses),
                 [](const ClassEntry& entry) { return entry.classId != 0; });
    return statistics;
}

}  // namespace qm::reports
