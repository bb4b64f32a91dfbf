// Shows the rows a spreadsheet file gives the import, as the import preview reads them.
#include <ostream>

#include "CliCommand.h"
#include "intake/PreviewReader.h"
#include "intake/PreviewWarning.h"

namespace qm::cli {

namespace {

// One cell on one line: tabs, line breaks and backslashes are written as \t, \n, \r and \\.
std::string escapedCell(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

int previewCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {});
    args.expectPositionals(1);
    const auto grid = intake::readPreviewFile(args.positional(0, "FILE"));
    context.out << "行";
    for (const auto& title : intake::kImportTitles) {
        context.out << "\t" << title;
    }
    context.out << "\n";
    for (const auto& row : grid.rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            context.out << (column == 0 ? "" : "\t") << escapedCell(row[column]);
        }
        context.out << "\n";
    }
    context.out << "已导入的总记录数:" << grid.studentCount() << "条\n";
    if (const std::string warning = intake::previewWarning(grid); !warning.empty()) {
        context.err << "警告: " << warning << "\n";
    }
    return 0;
}

const CommandRegistration registration(
    "preview", "FILE",
    "显示从表格文件 (.xls, .xlsx, .csv) 读到的导入数据, 每行一个学生, 列以制表符分隔; "
    "最后一行是学号为空的结束行; 第1行不是导入表格的列名、学生缺少姓名或性别、或者结束行之后还有"
    "数据时, 在标准错误输出警告",
    previewCommand);

}  // namespace

}  // namespace qm::cli
