#include "gui/WorkArea.h"

#include <QMdiSubWindow>

#include "gui/MdiChildren.h"

namespace qm::gui {

WorkArea::WorkArea(QWidget* parent) : QMdiArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void WorkArea::resizeEvent(QResizeEvent* event) {
    QMdiArea::resizeEvent(event);
    for (QMdiSubWindow* frame : subWindowList()) {
        fitMdiChild(*this, *frame);
    }
}

}  // namespace qm::gui
