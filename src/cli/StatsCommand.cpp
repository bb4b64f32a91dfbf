// The class statistics of a project as a table: the class grid, and with --all the band and
// category grids too.
#include <ostream>

#include "CliCommand.h"
#include "common/NumberText.h"
#include "reports/ClassStatistics.h"
#include "reports/TextTable.h"
#include "store/OutsideClasses.h"
#include "store/ProjectStore.h"

namespace qm::cli {

namespace {

// The grid's cells without its empty first column.
reports::TextRows textRows(const reports::StatGrid& grid) {
    reports::TextRows rows;
    for (std::size_t r = 0; r < grid.rowCount(); ++r) {
        auto& row = rows.emplace_back();
        for (std::size_t c = 1; c < grid.columnCount(); ++c) {
            row.push_back(grid.text(r, c));
        }
    }
    return rows;
}

// The deviations beyond 1, which the window shows in red, as "2班 数学偏差 -13.08" lines.
std::string redCells(const reports::StatGrid& info) {
    std::string lines;
    for (std::size_t r = 1; r < info.rowCount(); ++r) {
        for (std::size_t c = 0; c < info.columnCount(); ++c) {
            if (info.cell(r, c).red) {
                lines += "  " + info.text(r, reports::kClassNameColumn) + " " + info.text(0, c) +
                         " " + trimmed(info.text(r, c)) + "\n";
            }
        }
    }
    return lines.empty() ? "" : "偏差绝对值大于1:\n" + lines;
}

int statsCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {"all", "csv"});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const auto project = store::openProject(context.connection(), id);
    const auto statistics = reports::computeClassStatistics(context.connection(), project.fbTable);
    const bool csv = args.flag("csv");

    auto grids = statistics.grids();
    if (!args.flag("all")) {
        grids.resize(1);
    }
    for (std::size_t i = 0; i < grids.size(); ++i) {
        if (grids.size() > 1) {
            context.out << (i == 0 ? "" : "\n") << "[" << grids[i]->name() << "]\n";
        }
        const auto rows = textRows(*grids[i]);
        context.out << (csv ? reports::csvText(rows) : reports::alignedText(rows));
    }
    if (!csv) {
        context.out << redCells(statistics.classInfo);
        const int classCount = store::findProject(context.connection(), id).num;
        const std::string outside =
            store::outsideClassesLine(context.connection(), project.fbTable, classCount);
        context.out << (outside.empty() ? "" : outside + "\n");
    }
    return 0;
}

const CommandRegistration registration(
    "stats", "ID [--all] [--csv]",
    "班级信息: 各班男女生数、人数、各科平均分与偏差; --all 另列各科分数段人数和每一类的人数",
    statsCommand);

}  // namespace

}  // namespace qm::cli
