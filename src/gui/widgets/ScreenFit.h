#pragma once

#include <QSize>

class QWidget;

namespace qm::gui {

// A dialog or a window of its own opens with the size it asks for where the screen allows, and
// smaller where it does not (a screen of 800×600), room left for its frame: its title bar and its
// buttons never lie beyond the screen. Never below what its layout needs.
void fitOnScreen(QWidget& window, QSize wanted);

// The content of a page in a frameless area that scrolls where the page gets less room than the
// content needs (a window beside the console on a small screen), so that the window around it can
// shrink and keep its buttons in sight.
QWidget* scrolledPage(QWidget* content, QWidget* parent);

}  // namespace qm::gui
