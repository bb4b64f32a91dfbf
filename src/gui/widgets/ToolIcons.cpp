#include "gui/widgets/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace qm::gui {

namespace {

const QColor kInk(40, 60, 110);
const QColor kPaper(250, 250, 245);
const QColor kGreen(40, 150, 70);
const QColor kRed(200, 50, 40);
const QColor kGold(230, 170, 40);

void drawSheet(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3.5, 1.5, 10, 13));
}

void drawFolder(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kGold);
    QPainterPath path;
    path.moveTo(1.5, 4.5);
    path.lineTo(6.5, 4.5);
    path.lineTo(7.5, 6.5);
    path.lineTo(14.5, 6.5);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    p.drawPath(path);
}

void drawGrid(QPainter& p, QColor fill) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.drawLine(QPointF(1.5, 6.5), QPointF(14.5, 6.5));
    p.drawLine(QPointF(1.5, 10.5), QPointF(14.5, 10.5));
    p.drawLine(QPointF(6.5, 2.5), QPointF(6.5, 13.5));
}

void drawArrow(QPainter& p, QPointF from, QPointF to, QColor color) {
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot(to.x() - from.x(), to.y() - from.y()));
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 3.5 + n * 3.0);
    p.drawLine(to, to - d * 3.5 - n * 3.0);
}

void draw(QPainter& p, ToolIcon kind) {
    switch (kind) {
        case ToolIcon::NewProject:
            drawSheet(p);
            p.setPen(QPen(kGreen, 2));
            p.drawLine(QPointF(8.5, 5), QPointF(8.5, 12));
            p.drawLine(QPointF(5, 8.5), QPointF(12, 8.5));
            break;
        case ToolIcon::OpenProject:
            drawFolder(p);
            break;
        case ToolIcon::ImportSheet:
            drawGrid(p, QColor(220, 240, 220));
            drawArrow(p, QPointF(12, 1), QPointF(12, 9), kGreen);
            break;
        case ToolIcon::CopyStudents:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawRect(QRectF(1.5, 1.5, 8, 9));
            p.drawRect(QRectF(6.5, 5.5, 8, 9));
            break;
        case ToolIcon::Settings: {
            p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
            for (int i = 0; i < 8; ++i) {
                const double a = i * 3.14159265 / 4;
                p.drawLine(QPointF(8 + 4 * std::cos(a), 8 + 4 * std::sin(a)),
                           QPointF(8 + 6.5 * std::cos(a), 8 + 6.5 * std::sin(a)));
            }
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(150, 170, 210));
            p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(8, 8), 1.8, 1.8);
            break;
        }
        case ToolIcon::Divide: {
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            const QPointF triangle[] = {{4, 2}, {14, 8}, {4, 14}};
            p.drawPolygon(triangle, 3);
            break;
        }
        case ToolIcon::ClassInfo:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 110, 200));
            p.drawRect(QRectF(2, 8, 3, 6));
            p.setBrush(kGreen);
            p.drawRect(QRectF(6.5, 4, 3, 10));
            p.setBrush(kGold);
            p.drawRect(QRectF(11, 6, 3, 8));
            p.setPen(QPen(kInk, 1));
            p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
            break;
        case ToolIcon::StudentList:
            drawSheet(p);
            p.setPen(QPen(kInk, 1));
            for (double y = 4.5; y < 14; y += 3) {
                p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
            }
            break;
        case ToolIcon::Export:
            drawGrid(p, QColor(220, 235, 250));
            drawArrow(p, QPointF(5, 8), QPointF(15, 8), kRed);
            break;
        case ToolIcon::Exit:
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(180, 120, 70));
            p.drawRect(QRectF(2.5, 1.5, 7, 13));
            drawArrow(p, QPointF(7, 8), QPointF(15, 8), kRed);
            break;
        case ToolIcon::ProjectItem:
            drawGrid(p, QColor(235, 235, 250));
            break;
    }
}

QPixmap render(ToolIcon kind, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter, kind);
    return pixmap;
}

}  // namespace

QIcon toolIcon(ToolIcon kind) {
    QIcon icon;
    icon.addPixmap(render(kind, 16));
    icon.addPixmap(render(kind, 32));
    return icon;
}

}  // namespace qm::gui
