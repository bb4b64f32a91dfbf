#include "gui/shared/ClassChanges.h"

namespace qm::gui {

void ClassChanges::announce(const ClassChange& change) {
    emit changed(change);
}

void ClassChanges::setDivisionRunning(bool running) {
    if (running != divisionRunning_) {
        divisionRunning_ = running;
        emit divisionRunningChanged(running);
    }
}

}  // namespace qm::gui
