#pragma once

#include <QMdiArea>
#include <QPointer>
#include <QWidget>

class QMdiSubWindow;

namespace qm::gui {

// Puts a new window into the frame as a child window that is freed when closed, resizable and
// with a maximise box. It opens with its own size where the frame's visible area allows, smaller
// where it does not, centred.
void addMdiChild(QMdiArea& area, QWidget* window);
// Moves and shrinks a child window (not below its layout's minimum) into the frame's visible
// area; a maximised or minimised one is left alone.
void fitMdiChild(QMdiArea& area, QMdiSubWindow& frame);
void bringMdiChildToFront(QMdiArea& area, QWidget* window);
// Closes a child window (from its own "确定" and the like); false when the window refused.
bool closeMdiChild(QWidget* window);
// True once a child window has been closed; it is freed when the event loop next runs.
bool isClosedMdiChild(const QWidget* window);

// How the main window keeps its work windows: each kind has one reference, empty at first. The
// first command builds the window inside the frame; later commands only bring it to the front.
// Closing the window frees it, which empties the reference, so the next command builds anew; a
// window closed but not yet freed is not brought back either.
template <class Window, class Build>
Window* showMdiChild(QMdiArea& area, QPointer<Window>& reference, Build&& build) {
    if (reference && !isClosedMdiChild(reference.data())) {
        bringMdiChildToFront(area, reference.data());
        return reference.data();
    }
    Window* window = build();
    reference = window;
    addMdiChild(area, window);
    return window;
}

}  // namespace qm::gui
