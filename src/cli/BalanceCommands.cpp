// Balance figures (均衡度) of a project's classes, and 深度优化 of them.
#include <ostream>

#include "AdjustmentArgs.h"
#include "CliCommand.h"
#include "ConsolePrinter.h"
#include "common/UserError.h"
#include "engine/optimisation/DeepOptimisation.h"
#include "reports/BalanceReport.h"
#include "store/ProjectStore.h"

namespace qm::cli {

namespace {

int balanceCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {"csv"});
    args.expectPositionals(1);
    const auto project = projectArg(context, args);
    const auto report = reports::computeBalanceReport(context.connection(), project);
    if (!report) {
        throw UserError("该分班项目的班级里还没有学生，请先分班");
    }
    const auto rows = reports::balanceTextRows(*report);
    if (args.flag("csv")) {
        context.out << reports::csvText(rows);
        return 0;
    }
    context.out << reports::alignedText(rows) << "\n";
    for (const std::string& line : reports::balanceSummary(*report)) {
        context.out << line << "\n";
    }
    return 0;
}

int optimiseCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {});
    args.expectPositionals(1);
    const auto project = projectArg(context, args);
    ConsolePrinter printer(context.out);
    engine::optimiseClasses(context.connection(), project, printer);
    return 0;
}

const CommandRegistration balanceRegistration(
    "balance", "ID [--csv]",
    "均衡度: 各班平均分、分数段、男女和分类人数的最大相差，并与随机分班和蛇形分班比较",
    balanceCommand);
const CommandRegistration optimiseRegistration(
    "optimise", "ID",
    "深度优化: 在不违反任何分班规则和约束 (分开、同班) 的前提下交换学生，使各班更均衡，可撤销 "
    "(强度见 settings --deep-opt-mode)",
    optimiseCommand);

}  // namespace

}  // namespace qm::cli
