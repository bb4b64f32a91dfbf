#include "reports/BalanceReport.h"

#include <set>
#include <utility>

#include "common/NumberText.h"
#include "engine/balance/BalanceBaselines.h"
#include "engine/balance/PlacedCohort.h"
#include "engine/common/RunSettings.h"
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

const BalanceFigures::Average* averageOf(const BalanceFigures& figures, int quantity) {
    for (const auto& average : figures.averages) {
        if (average.quantity == quantity) {
            return &average;
        }
    }
    return nullptr;
}

std::optional<double> bandSpreadOf(const BalanceFigures& figures, engine::Subject subject) {
    for (const auto& bands : figures.bands) {
        if (bands.subject == subject) {
            return bands.spread;
        }
    }
    return std::nullopt;
}

std::optional<double> categorySpreadOf(const BalanceFigures& figures, const std::string& label) {
    for (const auto& category : figures.categories) {
        if (category.label == label) {
            return category.spread;
        }
    }
    return std::nullopt;
}

// One figure of several divisions: empty where a division has no figure of the kind.
struct FigureRow {
    std::string label;
    std::vector<std::optional<double>> values;
    bool points = false;
};

// The rows of balanceRows for any number of divisions (a null one has no figures). A row is
// there when one division or more has its figure.
class FigureRows {
  public:
    explicit FigureRows(std::vector<const BalanceFigures*> divisions)
        : divisions_(std::move(divisions)) {}

    std::vector<FigureRow> rows() {
        addAverages(engine::kTotal, "总分");
        for (engine::Subject subject : kPageOrder) {
            addAverages(subject, subjectName(subject));
        }
        for (engine::Subject subject : kPageOrder) {
            add(subjectName(subject) + "分数段人数最大相差", false,
                [&](const BalanceFigures& f) { return bandSpreadOf(f, subject); });
        }
        add("男生人数最大相差", false, [](const BalanceFigures& f) { return f.boysSpread; });
        add("女生人数最大相差", false, [](const BalanceFigures& f) { return f.girlsSpread; });
        add("班级人数最大相差", false, [](const BalanceFigures& f) { return f.sizeSpread; });
        std::set<std::string> labels;
        for (const BalanceFigures* figures : divisions_) {
            if (figures != nullptr) {
                for (const auto& category : figures->categories) {
                    labels.insert(category.label);
                }
            }
        }
        for (const std::string& label : labels) {
            add("分类“" + label + "”人数最大相差", false,
                [&](const BalanceFigures& f) { return categorySpreadOf(f, label); });
        }
        return std::move(rows_);
    }

  private:
    // Adds the row when a division has the figure.
    template <typename Read>
    void add(const std::string& label, bool points, Read read) {
        FigureRow row{label, {}, points};
        bool any = false;
        for (const BalanceFigures* figures : divisions_) {
            const std::optional<double> value =
                figures ? std::optional<double>(read(*figures)) : std::nullopt;
            any = any || value.has_value();
            row.values.push_back(value);
        }
        if (any) {
            rows_.push_back(std::move(row));
        }
    }

    void addAverages(int quantity, const std::string& name) {
        add(name + "平均分最大相差", true, [&](const BalanceFigures& f) {
            const auto* average = averageOf(f, quantity);
            return average ? std::optional<double>(average->spread) : std::nullopt;
        });
        add(name + "平均分最大偏差", true, [&](const BalanceFigures& f) {
            const auto* average = averageOf(f, quantity);
            return average ? std::optional<double>(average->largestDeviation) : std::nullopt;
        });
    }

    std::vector<const BalanceFigures*> divisions_;
    std::vector<FigureRow> rows_;
};

// The rows as text under the headings; averages with two decimals.
TextRows figureText(const std::vector<std::string>& headings, const std::vector<FigureRow>& rows) {
    TextRows text{headings};
    for (const FigureRow& row : rows) {
        auto& cells = text.emplace_back();
        cells.push_back(row.label);
        for (const auto& value : row.values) {
            cells.push_back(value ? decimalText(*value, row.points ? 2 : 0) : std::string());
        }
    }
    return text;
}

std::vector<FigureRow> reportRows(const BalanceReport& report) {
    return FigureRows({&report.present, &report.random, &report.serpentine}).rows();
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
    const engine::PlacedCohort cohort = engine::loadProjectCohort(connection, project);
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
    for (const FigureRow& figure : reportRows(report)) {
        BalanceRow& row = rows.emplace_back(BalanceRow{figure.label, {}, figure.points});
        for (std::size_t d = 0; d < row.values.size(); ++d) {
            row.values[d] = figure.values[d].value_or(0);
        }
    }
    return rows;
}

TextRows balanceTextRows(const BalanceReport& report) {
    return figureText({kBalanceHeadings.begin(), kBalanceHeadings.end()}, reportRows(report));
}

TextRows balanceComparisonRows(const std::vector<std::string>& headings,
                               const std::vector<const engine::BalanceFigures*>& divisions) {
    return figureText(headings, FigureRows(divisions).rows());
}

std::vector<std::string> balanceSummary(const BalanceReport& report) {
    auto points = [&](auto read) {
        return std::array<std::string, 3>{decimalText(read(report.present), 1),
                                          decimalText(read(report.random), 1),
                                          decimalText(read(report.serpentine), 1)};
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
