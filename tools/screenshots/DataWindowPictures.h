#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace qm::gui {
class ImportPreviewWindow;
class MainWindow;
}  // namespace qm::gui

namespace qm::test {

// Opens the import preview and progress, class statistics (with its 均衡度 page) and student list
// windows of the current project (already divided) through the main window's commands, and hands
// a picture of each to save, numbered from firstNumber. The import works on a project of its own,
// so the current one keeps its students. Returns the number after the last picture.
int saveDataWindowPictures(gui::MainWindow& main, int firstNumber,
                           const std::function<bool(QWidget&, const QString&)>& save);

// Reads the sample workbook into the import preview of a project of its own (an import replaces
// students) and hands the preview to show while it is open; the project current before is
// current again afterwards.
void withSamplePreview(gui::MainWindow& main,
                       const std::function<void(gui::ImportPreviewWindow&)>& show);

}  // namespace qm::test
