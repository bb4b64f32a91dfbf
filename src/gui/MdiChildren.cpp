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
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint);
    frame->setWindowIcon(window->windowIcon());
    frame->adjustSize();
    fitMdiChild(area, *frame);
    // Centred in the frame's visible area.
    const QRect visible = area.viewport()->rect();
    frame->move(std::max(0, (visible.width() - frame->width()) / 2),
                std::max(0, (visible.height() - frame->height()) / 2));
    frame->show();
    area.setActiveSubWindow(frame);
}

void fitMdiChild(QMdiArea& area, QMdiSubWindow& frame) {
    if (frame.isMaximized() || frame.isMinimized()) {
        return;
    }
    const QSize visible = area.viewport()->size();
    const QSize smallest = frame.minimumSizeHint().expandedTo(frame.minimumSize());
    const QSize size = frame.size().boundedTo(visible).expandedTo(smallest);
    if (size != frame.size()) {
        frame.resize(size);
    }
    const QPoint place(std::clamp(frame.x(), 0, std::max(0, visible.width() - size.width())),
                       std::clamp(frame.y(), 0, std::max(0, visible.height() - size.height())));
    if (place != frame.pos()) {
        frame.move(place);
    }
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

bool isClosedMdiChild(const QWidget* window) {
    const QWidget* frame = window->parentWidget();
    return frame ? frame->isHidden() : window->isHidden();
}

bool closeMdiChild(QWidget* window) {
    if (QMdiSubWindow* frame = frameOf(window)) {
        return frame->close();
    }
    return window->close();
}

}  // namespace qm::gui
