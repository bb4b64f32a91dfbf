#include "gui/shared/ClassListCommands.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <optional>

#include "gui/Workspace.h"
#include "gui/shared/ClassChanges.h"
#include "gui/shared/ClassListDialog.h"
#include "gui/shared/ExportCommands.h"
#include "gui/shared/UserMessages.h"
#include "gui/shared/WorkbookOpener.h"
#include "printing/ClassListPainter.h"
#include "printing/ClassListPdf.h"
#include "reports/ClassList.h"
#include "reports/ClassListPages.h"
#include "store/ProjectStore.h"

namespace qm::gui {

namespace {

const QString kName = QStringLiteral("班级名单");

// The class lists the teacher chooses; nothing when refused or given up.
std::optional<reports::ClassListDocument> chooseClassLists(QWidget* parent, Workspace& workspace,
                                                           const store::CurrentProject& project,
                                                           const QString& goOnCaption) {
    if (workspace.classChanges().isDivisionRunning()) {
        inform(parent, QStringLiteral("正在分班，请等分班结束后再打印班级名单"));
        return std::nullopt;
    }
    std::vector<reports::ClassEntry> classes;
    const bool printable = runGuarded(parent, [&] {
        // Refuses a project without students or classes before the teacher chooses anything.
        reports::makeClassListDocument(workspace.connection(), project, {});
        classes = reports::listClasses(workspace.connection(), project.fbTable);
    });
    if (!printable) {
        return std::nullopt;
    }
    ClassListDialog dialog(classes, goOnCaption, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    std::optional<reports::ClassListDocument> document;
    runGuarded(parent, [&] {
        document = reports::makeClassListDocument(workspace.connection(), project, dialog.choice());
    });
    return document;
}

}  // namespace

void printClassLists(QWidget* parent, Workspace& workspace, const store::CurrentProject& project) {
    const auto document = chooseClassLists(parent, workspace, project, QStringLiteral("打印预览…"));
    if (!document) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(printing::classListPageLayout());
    printer.setDocName(kName + QLatin1Char('-') + QString::fromStdString(document->project));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("ClassListPreview"));
    preview.setWindowTitle(QStringLiteral("打印预览 - ") + kName);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&document, &preview](QPrinter* target) {
                         runGuarded(&preview,
                                    [&] { printing::paintClassLists(*target, *document); });
                     });
    // Within the screen, also a small one.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QSize room = screen->availableGeometry().size();
        preview.resize(std::min(900, room.width() - 40), std::min(800, room.height() - 60));
    }
    preview.exec();
}

bool exportClassListPdf(QWidget* parent, Workspace& workspace,
                        const store::CurrentProject& project) {
    const auto document = chooseClassLists(parent, workspace, project, QStringLiteral("导出PDF…"));
    if (!document) {
        return false;
    }
    const QString path = chooseExportFile(parent, kName, project.memo, QStringLiteral("pdf"));
    if (path.isEmpty()) {
        return false;
    }
    int pages = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    try {
        // The file dialog has asked before an existing file is replaced.
        pages = printing::writeClassListPdf(*document, path.toStdString(), workspace.databasePath(),
                                            true);
    } catch (const std::exception& failure) {
        error = QString::fromUtf8(failure.what());
    }
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        showError(parent, QStringLiteral("导出PDF失败：%1").arg(error));
        return false;
    }
    if (!openWorkbook(path)) {
        inform(parent,
               QStringLiteral("已导出 %1 个班的名单（共 %2 页）到：\n%3\n\n本机没有可以打开 "
                              "PDF 文件的程序，请在别的电脑上打开或打印这个文件。")
                   .arg(document->pages.size())
                   .arg(pages)
                   .arg(QDir::toNativeSeparators(path)));
    }
    return true;
}

ClassListButtons makeClassListButtons(QWidget& window, Workspace& workspace,
                                      std::function<store::CurrentProject()> project) {
    ClassListButtons buttons{new QPushButton(QStringLiteral("打印…"), &window),
                             new QPushButton(QStringLiteral("导出PDF…"), &window)};
    buttons.print->setObjectName(QStringLiteral("bnPrint"));
    buttons.print->setToolTip(QStringLiteral("打印各班学生名单，每班一页，先看打印预览 (Ctrl+P)"));
    buttons.pdf->setObjectName(QStringLiteral("bnPdf"));
    buttons.pdf->setToolTip(QStringLiteral("把各班学生名单存成 PDF 文件，每班一页"));
    const auto print = [&window, &workspace, project] {
        printClassLists(&window, workspace, project());
    };
    QObject::connect(buttons.print, &QPushButton::clicked, &window, print);
    QObject::connect(buttons.pdf, &QPushButton::clicked, &window, [&window, &workspace, project] {
        exportClassListPdf(&window, workspace, project());
    });
    auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+P")), &window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &window, print);
    return buttons;
}

}  // namespace qm::gui
