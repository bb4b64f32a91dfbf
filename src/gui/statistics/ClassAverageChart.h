#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

namespace qm::reports {
struct AverageFigures;
}

namespace qm::gui {

// One figure of the chart (the total or a subject): the average of all students and, per class,
// the class average and whether its deviation is shown in red in the statistics.
struct AverageFigure {
    QString name;
    double cohort = 0;
    std::vector<double> averages;
    std::vector<bool> red;
};

struct AverageChartData {
    QStringList classNames;
    std::vector<AverageFigure> figures;  // the total first, then the subjects in grid order
};

// The chart's data from the class statistics' figures (the placed classes only).
AverageChartData averageChartData(const reports::AverageFigures& averages);

// Small charts, one per figure, of how far each class average lies from the average of all
// students: a bar per class above or below the line of the whole cohort, the tolerance of one
// point either way dashed, and the bars beyond it in red, so an uneven class is seen at a glance.
class ClassAverageChart : public QWidget {
    Q_OBJECT

  public:
    explicit ClassAverageChart(QWidget* parent = nullptr);

    void setData(AverageChartData data);
    const AverageChartData& data() const { return data_; }

    QSize sizeHint() const override { return {860, 460}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintFigure(class QPainter& painter, const QRectF& area, const AverageFigure& figure);

    AverageChartData data_;
};

}  // namespace qm::gui
