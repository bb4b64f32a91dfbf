#include "reports/BalanceReport.h"

#include <cstdio>

#include "engine/BalanceBaselines.h"
#include "engine/PlacedCohort.h"
#include "engine/RunSettings.h"
#include "reports/StudentColumns.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

using engine::BalanceFigures;

// The subjects in the order of the statistics pages: 语文, 数学, 英语, 物理, 政治, 历史, 体育,
// 地理, 生物.
constexpr std::array<engine::Subject, engine::kSubjectCount> kPageOrder = {
    engine::kChinese, engine::kMath, engine::kEnglish, engine::kWuli,   engine::kZhengzhi,
    engine::kLishi,   engine::kTiyu, engine::kDili,    engine::kShengwu};

std::string subjectName(int subject) {
    return std::string(columnHeading(store::kScoreColumns[static_cast<std::size_t>(subject)]));
}

std::string decimals(double value, int places) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

const BalanceFigures::Average* averageOf(const BalanceFigures& figures, int quantity) {
    for (const auto& average : figures.averages) {
        if (average.quantity == quantity) {
            return &average;
        }
    }
    return nullptr;
}

int bandSpreadOf(const BalanceFigures& figures, engine::Subject subject) {
    for (const auto& bands : figures.bands) {
        if (bands.subject == subject) {
            return bands.spread;
        }
    }
    return 0;
}

int categorySpreadOf(const BalanceFigures& figures, const std::string& label) {
    for (const auto& category : figures.categories) {
        if (category.label == label) {
            return category.spread;
        }
    }
    return 0;
}

// The same figure read from each of the three divisions.
template <typename Read>
std::array<double, 3> inAll(const BalanceReport& report, Read read) {
    return {static_cast<double>(read(report.present)), static_cast<double>(read(report.random)),
            static_cast<double>(read(report.serpentine))};
}

void addAverageRows(std::vector<BalanceRow>& rows, const BalanceReport& report, int quantity,
                    const std::string& name) {
    if (averageOf(report.present, quantity) == nullptr) {
        return;  // nobody takes the subject
    }
    rows.push_back(
        {name + "平均分最大相差",
         inAll(report, [&](const BalanceFigures& f) { return averageOf(f, quantity)->spread; }),
         true});
    rows.push_back(
        {name + "平均分最大偏差",
         inAll(report,
               [&](const BalanceFigures& f) { return averageOf(f, quantity)->largestDeviation; }),
         true});
}

// "X；随机分班为 Y，蛇形分班为 Z" with the three values in the unit given.
std::string comparedLine(const std::string& what, const std::array<std::string, 3>& values,
                         const std::string& unit) {
    return what + " " + values[0] + " " + unit + "；随机分班为 " + values[1] + " " + unit +
           "，蛇形分班为 " + values[2] + " " + unit;
}

std::string worstSubjectName(const BalanceFigures& figures) {
    const BalanceFigures::Average* worst = nullptr;
    for (const auto& average : figures.averages) {
        if (average.quantity != engine::kTotal &&
            (worst == nullptr || average.spread > worst->spread)) {
            worst = &average;
        }
    }
    return worst ? subjectName(worst->quantity) : std::string();
}

std::string worstBandSubjectName(const BalanceFigures& figures) {
    const BalanceFigures::Bands* worst = nullptr;
    for (const auto& bands : figures.bands) {
        if (worst == nullptr || bands.spread > worst->spread) {
            worst = &bands;
        }
    }
    return worst ? subjectName(worst->subject) : std::string();
}

}  // namespace

std::optional<BalanceReport> computeBalanceReport(db::Connection& connection,
                                                  const store::CurrentProject& project) {
    const engine::PlacedCohort cohort = engine::loadPlacedCohort(
        connection, project.fbTable, engine::projectClassCount(connection, project));
    if (cohort.students.empty()) {
        return std::nullopt;
    }
    return BalanceReport{
        engine::measureBalance(cohort, cohort.presentClasses()),
        engine::measureBalance(cohort, engine::randomDivision(cohort, engine::kRandomBaselineSeed)),
        engine::measureBalance(cohort, engine::serpentineDivision(cohort))};
}

std::vector<BalanceRow> balanceRows(const BalanceReport& report) {
    std::vector<BalanceRow> rows;
    addAverageRows(rows, report, engine::kTotal, "总分");
    for (engine::Subject subject : kPageOrder) {
        addAverageRows(rows, report, subject, subjectName(subject));
    }
    for (engine::Subject subject : kPageOrder) {
        if (averageOf(report.present, subject) != nullptr) {
            rows.push_back(
                {subjectName(subject) + "分数段人数最大相差",
                 inAll(report, [&](const BalanceFigures& f) { return bandSpreadOf(f, subject); })});
        }
    }
    rows.push_back(
        {"男生人数最大相差", inAll(report, [](const BalanceFigures& f) { return f.boysSpread; })});
    rows.push_back(
        {"女生人数最大相差", inAll(report, [](const BalanceFigures& f) { return f.girlsSpread; })});
    rows.push_back(
        {"班级人数最大相差", inAll(report, [](const BalanceFigures& f) { return f.sizeSpread; })});
    for (const auto& category : report.present.categories) {
        rows.push_back({"分类“" + category.label + "”人数最大相差",
                        inAll(report, [&](const BalanceFigures& f) {
                            return categorySpreadOf(f, category.label);
                        })});
    }
    return rows;
}

TextRows balanceTextRows(const BalanceReport& report) {
    TextRows rows;
    rows.emplace_back(kBalanceHeadings.begin(), kBalanceHeadings.end());
    for (const BalanceRow& row : balanceRows(report)) {
        auto& text = rows.emplace_back();
        text.push_back(row.label);
        for (double value : row.values) {
            text.push_back(decimals(value, row.points ? 2 : 0));
        }
    }
    return rows;
}

std::vector<std::string> balanceSummary(const BalanceReport& report) {
    auto points = [&](auto read) {
        return std::array<std::string, 3>{decimals(read(report.present), 1),
                                          decimals(read(report.random), 1),
                                          decimals(read(report.serpentine), 1)};
    };
    auto heads = [&](auto read) {
        return std::array<std::string, 3>{std::to_string(read(report.present)),
                                          std::to_string(read(report.random)),
                                          std::to_string(read(report.serpentine))};
    };
    std::vector<std::string> lines;
    const BalanceFigures& present = report.present;
    if (averageOf(present, engine::kTotal) != nullptr) {
        lines.push_back(
            comparedLine("总分平均分最大相差",
                         points([](const BalanceFigures& f) { return f.totalSpread(); }), "分"));
    }
    if (!present.bands.empty()) {
        lines.push_back(comparedLine("单科平均分最大相差", points([](const BalanceFigures& f) {
                                         return f.worstSubjectSpread();
                                     }),
                                     "分") +
                        "（本次分班相差最大的是" + worstSubjectName(present) + "）");
        lines.push_back(
            comparedLine("分数段人数最大相差",
                         heads([](const BalanceFigures& f) { return f.worstBandSpread(); }), "人") +
            "（本次分班相差最大的是" + worstBandSubjectName(present) + "）");
    }
    if (!present.categories.empty()) {
        lines.push_back(comparedLine(
            "同一分类的人数最大相差",
            heads([](const BalanceFigures& f) { return f.worstCategorySpread(); }), "人"));
    }
    lines.push_back("男生人数最大相差 " + std::to_string(present.boysSpread) +
                    " 人，女生人数最大相差 " + std::to_string(present.girlsSpread) +
                    " 人，班级人数最大相差 " + std::to_string(present.sizeSpread) + " 人");
    return lines;
}

}  // namespace qm::reports
