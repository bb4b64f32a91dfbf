#include "gui/widgets/RecordNavigator.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace qm::gui {

namespace {

struct ButtonSpec {
    const char* name;
    const char* symbol;
    const char* hint;
};

constexpr ButtonSpec kButtons[RecordNavigator::Count] = {
    {"navFirst", "|◀", "第一条"},   {"navPrior", "◀", "上一条"},
    {"navNext", "▶", "下一条"},     {"navLast", "▶|", "最后一条"},
    {"navInsert", "+", "插入一行"}, {"navDelete", "−", "删除当前行"},
    {"navEdit", "▲", "编辑当前行"}, {"navPost", "✓", "保存修改"},
    {"navCancel", "✗", "取消修改"}, {"navRefresh", "↻", "刷新"},
};

}  // namespace

RecordNavigator::RecordNavigator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DBNavigator1"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < Count; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        button->setText(QString::fromUtf8(kButtons[i].symbol));
        button->setToolTip(QString::fromUtf8(kButtons[i].hint));
        button->setFixedSize(26, 24);
        button->setAutoRaise(false);
        const auto which = static_cast<Button>(i);
        connect(button, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
        layout->addWidget(button);
        buttons_[static_cast<std::size_t>(i)] = button;
    }
    setEditing(false);
}

void RecordNavigator::setEditing(bool editing) {
    buttons_[Post]->setEnabled(editing);
    buttons_[Cancel]->setEnabled(editing);
}

}  // namespace qm::gui
