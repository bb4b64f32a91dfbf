#include "gui/MessageConsole.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace qm::gui {

MessageConsole::MessageConsole(QWidget* owner)
    : QDockWidget(QStringLiteral("显示台"), owner), linesView_(new QPlainTextEdit(this)) {
    // The name under which the main window stores where the console stands.
    setObjectName(QStringLiteral("TfrmShow"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);

    linesView_->setObjectName(QStringLiteral("memoMsg"));
    linesView_->setReadOnly(true);
    linesView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    linesView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    linesView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei Mono"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(19);
    linesView_->setFont(font);
    // White text on black through the palette: a style sheet would also reach the scroll bars.
    QPalette colours = linesView_->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    linesView_->setPalette(colours);
    linesView_->setPlainText(QStringLiteral("信息显示................"));
    setWidget(linesView_);
}

void MessageConsole::appendLine(const QString& line) {
    appendLines({line});
}

void MessageConsole::appendLines(const QStringList& lines) {
    if (lines.isEmpty()) {
        return;
    }
    linesView_->appendPlainText(lines.join(QLatin1Char('\n')));
    linesView_->verticalScrollBar()->setValue(linesView_->verticalScrollBar()->maximum());
}

QStringList MessageConsole::lines() const {
    return linesView_->toPlainText().split(QLatin1Char('\n'));
}

}  // namespace qm::gui
