#include "gui/ToolShortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QToolBar>

namespace qm::gui {

namespace {

struct ToolKey {
    const char* caption;
    const char* keys;
};

constexpr ToolKey kToolKeys[] = {
    {"1.新建", "Ctrl+1"},      {"2.打开", "Ctrl+2"},
    {"3.1数据导入", "Ctrl+3"}, {"3.2内部数据", "Ctrl+Shift+3"},
    {"4.分班设置", "Ctrl+4"},  {"5.开始", "Ctrl+5"},
    {"6.班级信息", "Ctrl+6"},  {"7.学生名单", "Ctrl+7"},
    {"8.数据导出", "Ctrl+8"},  {"退出", "Ctrl+Q"},
};

}  // namespace

void addToolShortcuts(QToolBar& bar) {
    for (QAction* action : bar.actions()) {
        for (const ToolKey& key : kToolKeys) {
            if (action->text() != QString::fromUtf8(key.caption)) {
                continue;
            }
            const QKeySequence keys(QString::fromLatin1(key.keys));
            action->setShortcut(keys);
            action->setToolTip(QStringLiteral("%1 (%2)").arg(
                action->text(), keys.toString(QKeySequence::NativeText)));
        }
    }
}

}  // namespace qm::gui
