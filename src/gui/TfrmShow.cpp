#include "gui/TfrmShow.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace qm::gui {

TfrmShow::TfrmShow(QWidget* owner)
    : QDockWidget(QStringLiteral("显示台"), owner), memoMsg_(new QPlainTextEdit(this)) {
    // The name under which the main window stores where the console stands.
    setObjectName(QStringLiteral("TfrmShow"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);

    memoMsg_->setObjectName(QStringLiteral("memoMsg"));
    memoMsg_->setReadOnly(true);
    memoMsg_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memoMsg_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoMsg_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei Mono"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(19);
    memoMsg_->setFont(font);
    // White text on black through the palette: a style sheet would also reach the scroll bars.
    QPalette colours = memoMsg_->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    memoMsg_->setPalette(colours);
    memoMsg_->setPlainText(QStringLiteral("信息显示................"));
    setWidget(memoMsg_);
}

void TfrmShow::showMsg(const QString& line) {
    appendLines({line});
}

void TfrmShow::appendLines(const QStringList& lines) {
    if (lines.isEmpty()) {
        return;
    }
    memoMsg_->appendPlainText(lines.join(QLatin1Char('\n')));
    memoMsg_->verticalScrollBar()->setValue(memoMsg_->verticalScrollBar()->maximum());
}

QStringList TfrmShow::lines() const {
    return memoMsg_->toPlainText().split(QLatin1Char('\n'));
}

}  // namespace qm::gui
