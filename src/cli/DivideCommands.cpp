// Division commands: a full division, and a re-division of chosen classes.
#include <ostream>

#include "AdjustmentArgs.h"
#include "CliCommand.h"
#include "ConsolePrinter.h"
#include "db/Connection.h"
#include "engine/DivisionRun.h"
#include "reports/RedivisionComparison.h"
#include "store/ProjectStore.h"

namespace qm::cli {

namespace {

int divideCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {});
    args.expectPositionals(1);
    const auto project = projectArg(context, args);
    ConsolePrinter printer(context.out);
    engine::divide(context.connection(), project, printer);
    return 0;
}

int redivideCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {"classes"}, {});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const auto classes = args.value("classes");
    if (!classes) {
        throw UsageError("缺少 --classes 班级号,班级号,...");
    }
    const auto chosen = wholeNumberList(*classes, "--classes");
    const auto project = store::openProject(context.connection(), id);
    ConsolePrinter printer(context.out);
    // After the run's lines, the chosen classes' 总分 figures before and after, as the desktop's
    // console shows them.
    for (const std::string& line :
         reports::redivideComparing(context.connection(), project, chosen, printer)) {
        context.out << line << '\n';
    }
    return 0;
}

const CommandRegistration divideRegistration("divide", "ID",
                                             "分班: 按参数设置把项目的学生分到各班并微调",
                                             divideCommand);
const CommandRegistration redivideRegistration("redivide", "ID --classes 2,4",
                                               "重新分班: 把所选班级的学生在这些班级之间重新分配",
                                               redivideCommand);

}  // namespace

}  // namespace qm::cli
