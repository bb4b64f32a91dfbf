#include "gui/widgets/ProgramIcon.h"

#include <QFile>

#include "gui/widgets/ToolIcons.h"

namespace qm::gui {

QIcon programIcon() {
    const QString rendered = QStringLiteral(":/program-icon/128.png");
    return QFile::exists(rendered) ? QIcon(rendered) : toolIcon(ToolIcon::ClassInfo);
}

}  // namespace qm::gui
