#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace qm::gui {
class MainWindow;
}

namespace qm::test {

// Shows the teacher's adjustments on the current project (already divided) and hands a picture
// of each to save, named by name(what): the student list with its groups (one the classes keep,
// one they do not), the list with the figures of a student moved by hand, and the comparison of
// the versions saved before and after that move (its class figures, its moved students and its
// balance figures). With wholeWindow the pictures show the whole main window (the small
// screens), else the work window or dialog alone.
void saveAdjustmentPictures(gui::MainWindow& main, bool wholeWindow,
                            const std::function<QString(const char*)>& name,
                            const std::function<bool(QWidget&, const QString&)>& save);

}  // namespace qm::test
