#pragma once

#include <functional>

class QPushButton;
class QWidget;

namespace qm::store {
struct CurrentProject;
}

namespace qm::gui {

class Workspace;

// "打印…" and "导出PDF…" of the result window and of 班级信息: the class lists of a project, one
// page per class, on paper through Qt's print preview (which prints) or as a PDF file that the
// desktop then opens. Both first ask what goes on the pages (ClassListDialog). A project whose
// students sit in no class yet is refused with the reason, and so is printing while a division
// runs: the pages would show the classes before it.
void printClassLists(QWidget* parent, Workspace& workspace, const store::CurrentProject& project);
// True when the PDF was written.
bool exportClassListPdf(QWidget* parent, Workspace& workspace,
                        const store::CurrentProject& project);

// The buttons "打印…" (also Ctrl+P anywhere in the window) and "导出PDF…" of a window, for the
// class lists of the project that project() names when one is pressed.
struct ClassListButtons {
    QPushButton* print;
    QPushButton* pdf;
};
ClassListButtons makeClassListButtons(QWidget& window, Workspace& workspace,
                                      std::function<store::CurrentProject()> project);

}  // namespace qm::gui
