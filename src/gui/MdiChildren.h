#pragma once

#include <QMdiArea>
#include <QPointer>
#include <QWidget>

namespace qm::gui {

// Puts a new window into the frame as a child window that is freed when closed. Windows of a
// fixed size get a fixed border; no child window offers a maximise box.
void addMdiChild(QMdiArea& area, QWidget* window);
void bringMdiChildToFront(QMdiArea& area, QWidget* window);
// Closes a child window from inside (its own "确定" and the like).
void closeMdiChild(QWidget* window);

// How the main window keeps its work windows: each kind has one reference, empty at first. The
// first command builds the window inside the frame; later commands only bring it to the front.
// Closing the window frees it, which empties the reference, so the next command builds anew.
template <class Window, class Build>
Window* showMdiChild(QMdiArea& area, QPointer<Window>& reference, Build&& build) {
    if (reference) {
        bringMdiChildToFront(area, reference.data());
        return reference.data();
    }
    Window* window = build();
    reference = window;
    addMdiChild(area, window);
    return window;
}

}  // namespace qm::gui
