#pragma once

#include <QIcon>

namespace qm::gui {

// The program's own icon, the one its desktop entry shows (packaging/icons), for the windows'
// title bars and the 关于 window. It is rendered into the program when the program is built;
// where the build could not render it, the tool bar's picture of the class statistics stands in.
QIcon programIcon();

}  // namespace qm::gui
