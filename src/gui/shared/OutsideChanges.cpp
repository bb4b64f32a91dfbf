#include "gui/shared/OutsideChanges.h"

#include <exception>

#include "db/Connection.h"
#include "gui/Workspace.h"
#include "gui/shared/ClassChanges.h"

namespace qm::gui {

OutsideChanges::OutsideChanges(Workspace& workspace)
    : QObject(&workspace), workspace_(workspace), seen_(readVersion()) {}

std::optional<std::int64_t> OutsideChanges::readVersion() const {
    if (!workspace_.isOpen()) {
        return std::nullopt;
    }
    try {
        return workspace_.connection().query("PRAGMA data_version")[0][0].toInt();
    } catch (const std::exception&) {
        return std::nullopt;  // a database that cannot be read now is looked at next time
    }
}

bool OutsideChanges::check() {
    const auto version = readVersion();
    if (!version || version == seen_) {
        return false;
    }
    seen_ = version;
    if (workspace_.hasProject()) {
        workspace_.classChanges().announce({.fbTable = workspace_.currentProject().fbTable});
    }
    emit changed();
    return true;
}

}  // namespace qm::gui
