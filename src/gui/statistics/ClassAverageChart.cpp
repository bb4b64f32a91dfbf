#include "gui/statistics/ClassAverageChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "reports/ClassStatistics.h"

namespace qm::gui {

namespace {

constexpr int kChartColumns = 5;
const QColor kEvenBar(70, 120, 180);
const QColor kUnevenBar(215, 40, 40);

double numberOrNan(const std::optional<double>& value) {
    return value.value_or(std::nan(""));
}

}  // namespace

AverageChartData averageChartData(const reports::AverageFigures& averages) {
    AverageChartData data;
    for (const std::string& name : averages.classNames) {
        data.classNames << QString::fromStdString(name);
    }
    if (averages.classNames.empty()) {
        return data;  // nobody sits in a class yet
    }
    for (const reports::AverageFigure& figure : averages.figures) {
        AverageFigure shown{.name = QString::fromStdString(figure.name),
                            .cohort = numberOrNan(figure.cohort),
                            .averages = {},
                            .red = figure.red};
        for (const auto& average : figure.classes) {
            shown.averages.push_back(numberOrNan(average));
        }
        data.figures.push_back(std::move(shown));
    }
    return data;
}

ClassAverageChart::ClassAverageChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartAverages"));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

void ClassAverageChart::setData(AverageChartData data) {
    data_ = std::move(data);
    update();
}

void ClassAverageChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole = QRectF(rect()).adjusted(6, 4, -6, -4);
    const double legendHeight = fontMetrics().height() + 8;
    painter.setPen(palette().color(QPalette::WindowText));
    if (data_.figures.empty()) {
        painter.drawText(whole, Qt::AlignCenter, QStringLiteral("没有可以显示的平均分"));
        return;
    }
    painter.drawText(QRectF(whole.left(), whole.top(), whole.width(), legendHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("柱子：各班平均分与全体平均分之差（中线为全体平均分，虚线为"
                                    "±1分）；红色：偏差超过1分"));
    const int rows = static_cast<int>((data_.figures.size() + kChartColumns - 1) / kChartColumns);
    const double cellWidth = whole.width() / kChartColumns;
    const double cellHeight = (whole.height() - legendHeight) / rows;
    for (std::size_t i = 0; i < data_.figures.size(); ++i) {
        const int column = static_cast<int>(i) % kChartColumns;
        const int row = static_cast<int>(i) / kChartColumns;
        const QRectF area(whole.left() + column * cellWidth,
                          whole.top() + legendHeight + row * cellHeight, cellWidth, cellHeight);
        paintFigure(painter, area.adjusted(4, 4, -4, -4), data_.figures[i]);
    }
}

void ClassAverageChart::paintFigure(QPainter& painter, const QRectF& area,
                                    const AverageFigure& figure) {
    const QFontMetrics metrics = fontMetrics();
    const double line = metrics.height();
    painter.setPen(QColor(200, 200, 200));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);

    painter.setPen(palette().color(QPalette::WindowText));
    const QString title =
        std::isnan(figure.cohort)
            ? figure.name
            : QStringLiteral("%1  全体 %2").arg(figure.name).arg(figure.cohort, 0, 'f', 2);
    painter.drawText(QRectF(area.left(), area.top() + 2, area.width(), line),
                     Qt::AlignHCenter | Qt::AlignVCenter, title);

    // The plot: bars grow up or down from the middle line, the cohort average.
    const QRectF plot = area.adjusted(6, line + 6, -6, -(line + 6));
    double largest = reports::kDeviationLimit * 1.5;
    for (std::size_t k = 0; k < figure.averages.size(); ++k) {
        const double deviation = figure.averages[k] - figure.cohort;
        if (std::isfinite(deviation)) {
            largest = std::max(largest, std::abs(deviation) * 1.1);
        }
    }
    const double middle = plot.center().y();
    const double scale = plot.height() / 2 / largest;

    QPen dashed(QColor(150, 150, 150), 1, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(QPointF(plot.left(), middle - reports::kDeviationLimit * scale),
                     QPointF(plot.right(), middle - reports::kDeviationLimit * scale));
    painter.drawLine(QPointF(plot.left(), middle + reports::kDeviationLimit * scale),
                     QPointF(plot.right(), middle + reports::kDeviationLimit * scale));

    QFont small = painter.font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    const std::size_t count = figure.averages.size();
    const double slot = count > 0 ? plot.width() / static_cast<double>(count) : plot.width();
    const bool labelsFit = QFontMetrics(small).horizontalAdvance(QStringLiteral("10班")) < slot;
    painter.save();
    painter.setFont(small);
    for (std::size_t k = 0; k < count; ++k) {
        const double deviation = figure.averages[k] - figure.cohort;
        const double left = plot.left() + slot * static_cast<double>(k) + slot * 0.15;
        if (std::isfinite(deviation)) {
            const double height = deviation * scale;
            const QRectF bar(left, height >= 0 ? middle - height : middle, slot * 0.7,
                             std::max(1.0, std::abs(height)));
            painter.setPen(Qt::NoPen);
            painter.setBrush(figure.red[k] ? kUnevenBar : kEvenBar);
            painter.drawRect(bar);
        }
        if (labelsFit && k < static_cast<std::size_t>(data_.classNames.size())) {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(
                QRectF(plot.left() + slot * static_cast<double>(k), plot.bottom() + 2, slot, line),
                Qt::AlignHCenter | Qt::AlignTop, data_.classNames[static_cast<int>(k)]);
        }
    }
    painter.restore();
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(QPointF(plot.left(), middle), QPointF(plot.right(), middle));
}

}  // namespace qm::gui
