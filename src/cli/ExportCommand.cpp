// Export of a project to an .xlsx workbook: the division result, or with --stats the class
// statistics; with --pdf the class lists as a PDF.
#include <ostream>

#include "ClassListPdfExport.h"
#include "CliCommand.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "reports/BalanceReport.h"
#include "reports/ClassStatistics.h"
#include "reports/ResultExport.h"
#include "reports/StatisticsExport.h"
#include "store/ProjectStore.h"
#include "store/WriteTargets.h"

namespace qm::cli {

namespace {

int exportCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {"out", "pdf", "school", "scores", "classes"}, {"stats", "overwrite"});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    if (args.value("pdf")) {
        return exportClassListPdf(context, id, args);
    }
    for (const char* option : {"school", "scores", "classes"}) {
        if (args.value(option)) {
            throw UsageError(std::string("--") + option + " 只能和 --pdf 一起用");
        }
    }
    const auto out = args.value("out");
    if (!out || out->empty()) {
        throw UsageError("缺少 --out FILE.xlsx");
    }
    const auto project = store::openProject(context.connection(), id);
    const reports::ExportTarget target(*out, context.connection().path(), args.flag("overwrite"));
    try {
        if (args.flag("stats")) {
            const auto statistics =
                reports::computeClassStatistics(context.connection(), project.fbTable);
            const auto balance = reports::computeBalanceReport(context.connection(), project);
            reports::exportStatistics(statistics, target, balance ? &*balance : nullptr);
            context.out << "已导出分班明细表" << (balance ? "和均衡度" : "") << "到 " << *out
                        << "\n";
        } else {
            const int count = reports::exportResults(context.connection(), project.fbTable, target);
            context.out << "已导出 " << count << " 名学生的分班结果到 " << *out << "\n";
        }
    } catch (const store::ExistingFileRefused& refused) {
        throw UserError(std::string(refused.what()) + "\n确实要替换它, 请加 --overwrite");
    }
    return 0;
}

const CommandRegistration registration(
    "export",
    "ID --out FILE.xlsx [--stats] [--overwrite] | ID --pdf FILE.pdf [--school TEXT] "
    "[--scores 语文,总分] [--classes 1,2] [--overwrite]",
    "导出分班结果 (工作表 分班结果); --stats 导出班级统计 (工作表 分班明细表, 分班后另有均衡度); "
    "--pdf 导出各班学生名单 (每班一页, 学校名称、成绩列和班级可选); "
    "已有的文件不是 .xlsx 工作簿 (或 PDF) 时, 只有加 --overwrite 才替换它; 数据库文件本身永远不会被覆盖",
    exportCommand);

}  // namespace

}  // namespace qm::cli
