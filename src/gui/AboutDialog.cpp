#include "gui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Version.h"
#include "gui/widgets/ProgramIcon.h"

namespace qm::gui {

namespace {

constexpr int kIconSize = 64;

QLabel* line(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

AboutDialog::AboutDialog(const QString& databasePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("关于"));
    auto* version = line(QStringLiteral("版本 %1").arg(QString::fromUtf8(kVersion)), this);
    version->setObjectName(QStringLiteral("lb_version"));
    auto* database =
        line(databasePath.isEmpty()
                 ? QStringLiteral("（没有可用的数据库文件）")
                 : QDir::toNativeSeparators(QFileInfo(databasePath).absoluteFilePath()),
             this);
    database->setObjectName(QStringLiteral("lb_database"));
    database->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(kIconSize, kIconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(QStringLiteral("Quillmere 分班"), this);
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    name->setFont(large);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(line(QStringLiteral("把新生分成各方面尽量均衡的教学班：男女人数、各科平均分、"
                                        "分数段人数和各类学生都尽量平均。"),
                         this));
    text->addSpacing(8);
    text->addWidget(line(QStringLiteral("数据库文件："), this));
    text->addWidget(database);
    text->addWidget(line(QStringLiteral("用“文件 → 备份数据库…”保存一份副本；恢复数据库时，原来的"
                                        "数据另存在数据库文件旁边。"),
                         this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

}  // namespace qm::gui
