#include "printing/ClassListPdf.h"

#include <QGuiApplication>
#include <QPdfWriter>

#include "common/UserError.h"
#include "printing/ClassListPainter.h"
#include "reports/ClassListPages.h"
#include "reports/PdfTarget.h"

namespace qm::printing {

int writeClassListPdf(const reports::ClassListDocument& document, const std::string& path,
                      const std::string& databasePath, bool overwrite) {
    reports::PdfTarget target(databasePath, path, overwrite);
    int pages = 0;
    {
        QPdfWriter writer(QString::fromStdString(target.partialPath()));
        writer.setPageLayout(classListPageLayout());
        writer.setTitle(QStringLiteral("班级名单 - ") + QString::fromStdString(document.project));
        writer.setCreator(QStringLiteral("Quillmere"));
        try {
            pages = paintClassLists(writer, document);
        } catch (const UserError& error) {
            throw UserError("无法写入 " + path + "：" + error.what());
        }
    }  // the file is complete once the writer is gone
    target.commit();
    return pages;
}

namespace {

// QGuiApplication keeps a reference to these for its whole life.
int argumentCount = 1;
char programName[] = "quillmere";
char* arguments[] = {programName, nullptr};

// Qt's remarks (a runtime folder it had to choose, a font it replaced) mean nothing to the user
// of the command line, whose own messages say whether the work was done; only its errors pass.
void keepQtErrorsOnly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        qt_message_output(type, context, message);
    }
}

}  // namespace

PaintingApplication::PaintingApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    previousHandler_ = qInstallMessageHandler(keepQtErrorsOnly);
    application_ = std::make_unique<QGuiApplication>(argumentCount, arguments);
}

PaintingApplication::~PaintingApplication() {
    if (application_) {
        application_.reset();
        qInstallMessageHandler(previousHandler_);
    }
}

}  // namespace qm::printing
