// Copies the students of another project into a project.
#include <ostream>

#include "CliCommand.h"
#include "store/ProjectStore.h"
#include "store/StudentCopy.h"

namespace qm::cli {

namespace {

int copyCommand(CliContext& context, const std::vector<std::string>& words) {
    CliArgs args(words, {"from"}, {"overwrite"});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    const auto from = args.value("from");
    if (!from) {
        throw UsageError("缺少 --from SRC");
    }
    const int source = wholeNumberArg(*from, "--from");
    const auto target = store::openProject(context.connection(), id);
    const auto mode = args.flag("overwrite") ? store::CopyMode::Overwrite : store::CopyMode::Add;
    const int copied = store::copyStudents(context.connection(), target, source, mode);
    context.out << store::kCopySucceeded << " (" << copied << ")\n";
    return 0;
}

const CommandRegistration registration(
    "copy", "ID --from SRC [--overwrite]",
    "把项目 SRC 的学生复制到项目 ID (固定在原班级); --overwrite 覆盖学号相同的学生", copyCommand);

}  // namespace

}  // namespace qm::cli
