#include "gui/MdiChildren.h"

#include <QMdiSubWindow>
#include <algorithm>

namespace qm::gui {

namespace {

QMdiSubWindow* frameOf(QWidget* window) {
    return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}

}  // namespace

void addMdiChild(QMdiArea& area, QWidget* window) {
    QMdiSubWindow* frame = area.addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    frame->setWindowIcon(window->windowIcon());
    frame->adjustSize();
    if (window->minimumSize() == window->maximumSize()) {
        frame->setFixedSize(frame->sizeHint());
    }
    // Centred in the frame's visible area.
    const QRect visible = area.viewport()->rect();
    frame->move(std::max(0, (visible.width() - frame->width()) / 2),
                std::max(0, (visible.height() - frame->height()) / 2));
    frame->show();
    area.setActiveSubWindow(frame);
}

void bringMdiChildToFront(QMdiArea& area, QWidget* window) {
    if (QMdiSubWindow* frame = frameOf(window)) {
        if (frame->isMinimized()) {
            frame->showNormal();
        }
        frame->show();
        frame->raise();
        area.setActiveSubWindow(frame);
    }
}

void closeMdiChild(QWidget* window) {
    if (QMdiSubWindow* frame = frameOf(window)) {
        frame->close();
    } else {
        window->close();
    }
}

}  // namespace qm::gui
