#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

#include "reports/BalanceReport.h"

namespace qm::reports {
struct ClassStatistics;
}

namespace qm::gui {

class Workspace;

// The two exports write a real .xlsx workbook to a file the user picks, then open it with the
// desktop's spreadsheet program; where there is none, they tell the user where the file is. The
// printed class lists choose their PDF file the same way.

// "8.数据导出": the division result of the current project, sheet 分班结果. True when written.
bool exportResultWorkbook(QWidget* parent, Workspace& workspace);

// "导出分班数据": the statistics as the window shows them, sheet 分班明细表, and the balance
// figures on the sheet 均衡度 when there are any, for the project with this description. True
// when written.
bool exportStatisticsWorkbook(QWidget* parent, Workspace& workspace,
                              const reports::ClassStatistics& statistics,
                              const std::optional<reports::BalanceReport>& balance,
                              const std::string& projectMemo);

// Asks where to write the export called name (分班结果, 班级名单) of the project with this
// description, as a file with this suffix ("xlsx", "pdf"), which is added when the chosen name
// lacks it. Empty when the user cancels, or after telling that the file chosen is the database.
// askedAboutReplacing, when given, tells whether the dialog asked before replacing the file (it
// did not when the suffix was added afterwards).
QString chooseExportFile(QWidget* parent, const QString& name, const std::string& memo,
                         const QString& suffix, bool* askedAboutReplacing = nullptr);

// Asks where to write an export, starting from a suggested path; empty when the user cancels.
// The default is the desktop's save dialog; tests give a function of their own.
using ExportPathChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;
void setExportPathChooser(ExportPathChooser chooser);

}  // namespace qm::gui
