#include "gui/shared/ExportCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include "gui/Workspace.h"
#include "gui/shared/BusyWork.h"
#include "gui/shared/FileDialogs.h"
#include "gui/shared/UserMessages.h"
#include "gui/shared/WorkbookOpener.h"
#include "reports/ClassStatistics.h"
#include "reports/ResultExport.h"
#include "reports/StatisticsExport.h"

namespace qm::gui {

namespace {

QString chooseWithDialog(QWidget* parent, const QString& suggestedPath) {
    const bool pdf =
        QFileInfo(suggestedPath).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0;
    return chooseFileToSave(
        parent, QStringLiteral("导出到"), suggestedPath,
        pdf ? QStringLiteral("PDF 文件 (*.pdf)") : QStringLiteral("Excel 工作簿 (*.xlsx)"));
}

ExportPathChooser& pathChooser() {
    static ExportPathChooser chooser = chooseWithDialog;
    return chooser;
}

// "<Documents>/<name>-<project>.<suffix>", the project's description made safe for a file name.
QString suggestedPath(const QString& name, const std::string& memo, const QString& suffix) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    QString project = QString::fromStdString(memo).trimmed();
    static const QString kUnsafe = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : project) {
        if (kUnsafe.contains(c) || c.isSpace()) {
            c = QLatin1Char('_');
        }
    }
    const QString file = project.isEmpty() ? name : name + QLatin1Char('-') + project;
    return QDir(folder).filePath(file + QLatin1Char('.') + suffix);
}

// Asks for the file, writes it on a thread of its own and opens it or says where it is.
bool exportWorkbook(QWidget* parent, Workspace& workspace, const QString& name,
                    const std::string& memo,
                    std::function<void(db::Connection&, const reports::ExportTarget&)> write) {
    // The dialog asked before replacing the file it named; a name given its ending afterwards
    // was not asked about, so only a workbook exported before is replaced there.
    bool asked = true;
    const QString path = chooseExportFile(parent, name, memo, QStringLiteral("xlsx"), &asked);
    if (path.isEmpty()) {
        return false;
    }
    const reports::ExportTarget target(QFile::encodeName(path).toStdString(),
                                       workspace.databasePath(), asked);
    const QString error = runWithBusyNote(
        parent, QStringLiteral("正在导出%1……").arg(name), workspace.databasePath(),
        [write = std::move(write), target](db::Connection& connection, BackgroundJob&) {
            write(connection, target);
        });
    if (!error.isEmpty()) {
        showError(parent, QStringLiteral("导出失败：%1\n文件：%2").arg(error, path));
        return false;
    }
    if (!openWorkbook(path)) {
        inform(parent, QStringLiteral("已导出到：\n%1\n\n本机没有可以打开 .xlsx 文件的表格程序，"
                                      "请在装有表格程序的电脑上打开这个文件。")
                           .arg(QDir::toNativeSeparators(path)));
    }
    return true;
}

}  // namespace

QString chooseExportFile(QWidget* parent, const QString& name, const std::string& memo,
                         const QString& suffix, bool* askedAboutReplacing) {
    QString path = pathChooser()(parent, suggestedPath(name, memo, suffix));
    if (path.isEmpty()) {
        return {};
    }
    const bool endingAdded = QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0;
    if (endingAdded) {
        path += QLatin1Char('.') + suffix;
    }
    if (askedAboutReplacing) {
        *askedAboutReplacing = !endingAdded;
    }
    if (isDatabaseFile(path)) {
        showError(parent, databaseFileRefusal(path));
        return {};
    }
    return path;
}

void setExportPathChooser(ExportPathChooser chooser) {
    pathChooser() = chooser ? std::move(chooser) : ExportPathChooser(chooseWithDialog);
}

bool exportResultWorkbook(QWidget* parent, Workspace& workspace) {
    const store::CurrentProject& project = workspace.currentProject();
    return exportWorkbook(
        parent, workspace, QString::fromUtf8(reports::kResultSheetName), project.memo,
        [table = project.fbTable](db::Connection& connection,
                                  const reports::ExportTarget& target) {
            reports::exportResults(connection, table, target);
        });
}

bool exportStatisticsWorkbook(QWidget* parent, Workspace& workspace,
                              const reports::ClassStatistics& statistics,
                              const std::optional<reports::BalanceReport>& balance,
                              const std::string& projectMemo) {
    // A copy is written: the window may take new figures while the workbook is being written.
    return exportWorkbook(parent, workspace, QString::fromUtf8(reports::kStatisticsSheetName),
                          projectMemo,
                          [statistics, balance](db::Connection&,
                                                const reports::ExportTarget& target) {
                              reports::exportStatistics(statistics, target,
                                                        balance ? &*balance : nullptr);
                          });
}

}  // namespace qm::gui
