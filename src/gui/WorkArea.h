#pragma once

#include <QMdiArea>

namespace qm::gui {

// The main window's frame for the work windows. The work windows stay inside the part of it that
// can be seen: when it shrinks (a smaller main window, the console appearing below it) they move
// and shrink with it; a window that cannot shrink enough can be reached with the scroll bars.
class WorkArea : public QMdiArea {
    Q_OBJECT

  public:
    explicit WorkArea(QWidget* parent = nullptr);

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace qm::gui
