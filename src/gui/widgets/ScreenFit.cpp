#include "gui/widgets/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace qm::gui {

namespace {

// What a window frame takes around a window: its edges and its title bar.
constexpr QSize kFrameAllowance(16, 48);

}  // namespace

void fitOnScreen(QWidget& window, QSize wanted) {
    const QWidget* parent = window.parentWidget();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        wanted = wanted.boundedTo(screen->availableSize() - kFrameAllowance);
    }
    window.resize(wanted.expandedTo(window.minimumSizeHint()));
}

QWidget* scrolledPage(QWidget* content, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}

}  // namespace qm::gui
