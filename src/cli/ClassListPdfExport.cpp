// The class lists of a project written as a PDF. Painting needs Qt Gui; a command-line program
// built without it says so.
#include "ClassListPdfExport.h"

#include <ostream>

#include "AdjustmentArgs.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "reports/ClassListPages.h"
#include "store/ProjectStore.h"
#ifdef QUILLMERE_PRINTING
#include "printing/ClassListPdf.h"
#endif

namespace qm::cli {

int exportClassListPdf(CliContext& context, int projectId, const CliArgs& args) {
    const std::string path = *args.value("pdf");
    if (path.empty()) {
        throw UsageError("缺少 --pdf FILE.pdf");
    }
    if (args.value("out") || args.flag("stats")) {
        throw UsageError("--pdf 不能和 --out 或 --stats 一起用");
    }
    reports::ClassListChoice choice;
    choice.school = args.value("school").value_or("");
    if (const auto scores = args.value("scores")) {
        choice.scores = reports::parseClassListScores(*scores);
    }
    if (const auto classes = args.value("classes")) {
        choice.classes = wholeNumberList(*classes, "--classes");
    }
    const auto project = store::openProject(context.connection(), projectId);
    const auto document = reports::makeClassListDocument(context.connection(), project, choice);
#ifdef QUILLMERE_PRINTING
    const printing::PaintingApplication application;
    const int pages = printing::writeClassListPdf(document, path, context.connection().path(),
                                                  args.flag("overwrite"));
    context.out << "已导出 " << document.pages.size() << " 个班的名单, 共 " << pages << " 页, 到 "
                << path << "\n";
    if (!document.pages.empty() && document.pages.back().classId == 0) {
        context.out << "其中最后的 " << document.pages.back().className << " 是还没有分到班的 "
                    << document.pages.back().students << " 名学生\n";
    }
    return 0;
#else
    throw UserError("这个命令行程序编译时没有 Qt, 不能导出 PDF");
#endif
}

}  // namespace qm::cli
