// Imports the students of a spreadsheet into a project, replacing the students it held.
#include <ostream>

#include "CliCommand.h"
#include "intake/ImportSave.h"
#include "intake/PreviewReader.h"
#include "intake/PreviewWarning.h"
#include "store/ProjectStore.h"

namespace qm::cli {

namespace {

int importCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {}, {"force"});
    args.expectPositionals(2);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const std::string& file = args.positional(1, "FILE");
    const auto project = store::openProject(context.connection(), id);
    // The file is read completely before anything is stored: a file that cannot be read leaves
    // the project's students as they were.
    const intake::PreviewGrid grid = intake::readPreviewFile(file);
    // A file that does not look like a list of students is stored only when the user insists.
    if (const std::string warning = intake::previewWarning(grid); !warning.empty()) {
        if (!args.flag("force")) {
            context.err << warning << "\n"
                        << "没有导入。确认文件无误后, 加上 --force 再导入\n";
            return 1;
        }
        context.err << "警告: " << warning << "\n";
    }
    const auto outcome = intake::saveImportedRows(context.connection(), project, grid);
    switch (outcome.kind) {
        case intake::SaveOutcome::Kind::Stored:
            context.out << outcome.message << "\n";
            return 0;
        case intake::SaveOutcome::Kind::Failed:
            context.err << outcome.message << "\n"
                        << outcome.reason << "\n"
                        << "该项目的学生数据没有改变\n";
            return 1;
        case intake::SaveOutcome::Kind::Cancelled:
            context.err << "导入已取消\n";
            return 1;
    }
    return 1;
}

const CommandRegistration registration(
    "import", "ID FILE [--force]",
    "从电子表格 (.xls, .xlsx, .csv) 导入学生, 替换项目原有的学生 (全部或一个也不); 打印保存的人数。"
    "第1行不是导入表格的列名、学生缺少姓名或性别、或者读到的第一个空学号之后还有数据时不导入, "
    "除非加上 --force",
    importCommand);

}  // namespace

}  // namespace qm::cli
