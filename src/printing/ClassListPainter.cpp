#include "printing/ClassListPainter.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <iterator>
#include <utility>

#include "common/ColumnWidths.h"
#include "common/UserError.h"
#include "printing/ChineseFont.h"
#include "reports/ClassListPages.h"

namespace qm::printing {

namespace {

constexpr int kMostTablesSideBySide = 3;
constexpr double kCellPaddingMm = 1.5;
constexpr double kTableGapMm = 6.0;
constexpr std::size_t kNameColumn = 2;

// The sizes of the table's text and the heights of its rows (in lines of its text) that are
// tried, the largest first: text down to 8 points with room in the rows, then the rows closer
// and the text down to 7 points, before a class takes more than one page.
struct TableSize {
    double points;
    double rowSpacing;
};
constexpr TableSize kTableSizes[] = {{11, 1.45}, {10.5, 1.45}, {10, 1.45}, {9.5, 1.45},
                                     {9, 1.45},  {8.5, 1.45},  {8, 1.45},  {8, 1.3},
                                     {8, 1.15},  {7.5, 1.15},  {7, 1.15}};

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QFont fontOf(double points, bool bold = false) {
    QFont font;
    if (const QString family = chineseFontFamily(); !family.isEmpty()) {
        font.setFamilies({family});
    }
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Where a page's parts stand, in the device's pixels from the top left of its printable area.
class PageFrame {
  public:
    PageFrame(QPagedPaintDevice& device, const reports::ClassListDocument& document)
        : device_(device),
          width_(device.width()),
          height_(device.height()),
          school_(fontOf(16, true)),
          title_(fontOf(18, true)),
          line_(fontOf(10.5)),
          foot_(fontOf(9)) {
        double top = 0;
        if (!document.school.empty()) {
            top += lineHeight(school_);
        }
        top += lineHeight(title_) * 1.2;
        if (!document.project.empty()) {
            top += lineHeight(line_);
        }
        top += lineHeight(line_) + mm(3);
        tableTop_ = top;
        const double bottom = lineHeight(foot_) * 1.5 + lineHeight(line_) * 2 + mm(4);
        tableHeight_ = std::max(0.0, height_ - top - bottom);
    }

    double mm(double millimetres) const { return millimetres * device_.logicalDpiX() / 25.4; }
    double lineHeight(const QFont& font) const {
        return QFontMetricsF(font, &device_).lineSpacing();
    }
    double width() const { return width_; }
    double height() const { return height_; }
    double tableTop() const { return tableTop_; }
    double tableHeight() const { return tableHeight_; }
    QPaintDevice& device() const { return device_; }

    const QFont& school() const { return school_; }
    const QFont& title() const { return title_; }
    const QFont& line() const { return line_; }
    const QFont& foot() const { return foot_; }

  private:
    QPagedPaintDevice& device_;
    double width_;
    double height_;
    QFont school_;
    QFont title_;
    QFont line_;
    QFont foot_;
    double tableTop_ = 0;
    double tableHeight_ = 0;
};

// How the students of every class stand on a page: the same for all classes, so the pages look
// alike, and chosen for the largest class.
struct TableLayout {
    double points = 0;
    int tables = 1;        // side by side
    int rowsPerTable = 1;  // students in one table of one page
    double rowHeight = 0;
    std::vector<double> columnWidths;
};

std::vector<double> naturalWidths(const PageFrame& frame, const QFont& font,
                                  const reports::ClassListDocument& document) {
    const QFontMetricsF metrics(font, &frame.device());
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF headingMetrics(bold, &frame.device());
    ColumnWidths<double> widths(2 * frame.mm(kCellPaddingMm));
    for (std::size_t c = 0; c < document.headings.size(); ++c) {
        widths.fit(c, headingMetrics.horizontalAdvance(text(document.headings[c])));
    }
    for (const auto& page : document.pages) {
        for (const auto& row : page.rows) {
            for (std::size_t c = 0; c < row.size() && c < document.headings.size(); ++c) {
                widths.fit(c, metrics.horizontalAdvance(text(row[c])));
            }
        }
    }
    return widths.widths();
}

// Widens (or narrows) the columns in proportion so that the tables fill the page's width.
void fillWidth(TableLayout& layout, const PageFrame& frame) {
    double total = 0;
    for (double width : layout.columnWidths) {
        total += width;
    }
    const double room =
        (frame.width() - (layout.tables - 1) * frame.mm(kTableGapMm)) / layout.tables;
    for (double& width : layout.columnWidths) {
        width *= room / total;
    }
}

TableLayout chooseLayout(const PageFrame& frame, const reports::ClassListDocument& document) {
    int largest = 1;
    for (const auto& page : document.pages) {
        largest = std::max(largest, static_cast<int>(page.rows.size()));
    }
    TableLayout layout;
    for (const TableSize& size : kTableSizes) {
        const QFont font = fontOf(size.points);
        const auto widths = naturalWidths(frame, font, document);
        double tableWidth = 0;
        for (double width : widths) {
            tableWidth += width;
        }
        const double rowHeight = frame.lineHeight(font) * size.rowSpacing;
        const int rowsThatFit = static_cast<int>(frame.tableHeight() / rowHeight) - 1;
        for (int tables = 1; tables <= kMostTablesSideBySide; ++tables) {
            if (tables * tableWidth + (tables - 1) * frame.mm(kTableGapMm) > frame.width()) {
                break;
            }
            layout = {size.points, tables, std::max(1, rowsThatFit), rowHeight, widths};
            if ((largest + tables - 1) / tables <= rowsThatFit) {
                fillWidth(layout, frame);
                return layout;
            }
        }
    }
    // Even the smallest text fits no page: as many tables side by side as the width takes, or
    // one table narrowed to the page, and the class goes on over more pages.
    if (layout.columnWidths.empty()) {
        const TableSize& smallest = std::end(kTableSizes)[-1];
        const QFont font = fontOf(smallest.points);
        const double rowHeight = frame.lineHeight(font) * smallest.rowSpacing;
        layout = {smallest.points, 1,
                  std::max(1, static_cast<int>(frame.tableHeight() / rowHeight) - 1), rowHeight,
                  naturalWidths(frame, font, document)};
    }
    fillWidth(layout, frame);
    return layout;
}

// One printed page: a class, and the students of it that stand on this page.
struct PagePart {
    const reports::ClassListPage* page;
    std::size_t firstRow;
    std::size_t rowCount;
    bool continued;  // not the class's first page
    bool last;       // the class's last page
};

std::vector<PagePart> planPages(const reports::ClassListDocument& document,
                                const TableLayout& layout) {
    const std::size_t perPage = static_cast<std::size_t>(layout.tables * layout.rowsPerTable);
    std::vector<PagePart> parts;
    for (const auto& page : document.pages) {
        std::size_t first = 0;
        do {
            const std::size_t count = std::min(perPage, page.rows.size() - first);
            parts.push_back({&page, first, count, first > 0, first + count >= page.rows.size()});
            first += count;
        } while (first < page.rows.size());
    }
    return parts;
}

class PagePainter {
  public:
    PagePainter(QPainter& painter, const PageFrame& frame, const TableLayout& layout,
                const reports::ClassListDocument& document)
        : painter_(painter),
          frame_(frame),
          layout_(layout),
          document_(document),
          tableFont_(fontOf(layout.points)),
          headingFont_(fontOf(layout.points, true)),
          date_(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))) {}

    void paint(const PagePart& part, int number, int count) {
        double y = 0;
        if (!document_.school.empty()) {
            y += centredLine(frame_.school(), text(document_.school), y);
        }
        QString title = text(part.page->className) + QStringLiteral(" 学生名单");
        if (part.continued) {
            title += QStringLiteral("（续）");
        }
        y += centredLine(frame_.title(), title, y) * 1.2;
        if (!document_.project.empty()) {
            y += centredLine(frame_.line(), text(document_.project), y);
        }
        painter_.setFont(frame_.line());
        const QRectF infoLine(0, y, frame_.width(), frame_.lineHeight(frame_.line()));
        painter_.drawText(infoLine, Qt::AlignLeft | Qt::AlignVCenter,
                          text(reports::headCountText(*part.page)));
        painter_.drawText(infoLine, Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("打印日期：") + date_);

        const double tableBottom = paintTables(part);
        if (part.last) {
            paintSignatureLine(tableBottom + frame_.mm(6));
        }
        painter_.setFont(frame_.foot());
        const double footHeight = frame_.lineHeight(frame_.foot());
        painter_.drawText(QRectF(0, frame_.height() - footHeight, frame_.width(), footHeight),
                          Qt::AlignCenter,
                          QStringLiteral("第 %1 页，共 %2 页").arg(number).arg(count));
    }

  private:
    double centredLine(const QFont& font, const QString& line, double y) {
        const double height = frame_.lineHeight(font);
        painter_.setFont(font);
        const QRectF place(0, y, frame_.width(), height);
        painter_.drawText(
            place, Qt::AlignCenter,
            QFontMetricsF(font, &frame_.device()).elidedText(line, Qt::ElideRight, frame_.width()));
        return height;
    }

    // The tables of a page, side by side, rows shared out evenly; returns where they end.
    double paintTables(const PagePart& part) {
        const std::size_t perTable =
            (part.rowCount + static_cast<std::size_t>(layout_.tables) - 1) /
            static_cast<std::size_t>(layout_.tables);
        double tableWidth = 0;
        for (double width : layout_.columnWidths) {
            tableWidth += width;
        }
        double bottom = frame_.tableTop();
        for (int t = 0; t < layout_.tables; ++t) {
            const std::size_t first = part.firstRow + static_cast<std::size_t>(t) * perTable;
            const std::size_t end = std::min(first + perTable, part.firstRow + part.rowCount);
            if (first >= end) {
                break;
            }
            const double x = t * (tableWidth + frame_.mm(kTableGapMm));
            double y = frame_.tableTop();
            paintRow(document_.headings, x, y, true);
            for (std::size_t r = first; r < end; ++r) {
                y += layout_.rowHeight;
                paintRow(part.page->rows[r], x, y, false);
            }
            bottom = std::max(bottom, y + layout_.rowHeight);
        }
        return bottom;
    }

    void paintRow(const std::vector<std::string>& cells, double x, double y, bool heading) {
        painter_.setFont(heading ? headingFont_ : tableFont_);
        const QFontMetricsF metrics(heading ? headingFont_ : tableFont_, &frame_.device());
        const double padding = frame_.mm(kCellPaddingMm);
        for (std::size_t c = 0; c < layout_.columnWidths.size(); ++c) {
            const QRectF cell(x, y, layout_.columnWidths[c], layout_.rowHeight);
            if (heading) {
                painter_.fillRect(cell, QColor(225, 225, 225));
            }
            painter_.drawRect(cell);
            const QString value = c < cells.size() ? text(cells[c]) : QString();
            const bool left = !heading && c == kNameColumn;
            painter_.drawText(
                cell.adjusted(padding, 0, -padding, 0),
                (left ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter,
                metrics.elidedText(value, Qt::ElideRight, cell.width() - 2 * padding));
            x += layout_.columnWidths[c];
        }
    }

    void paintSignatureLine(double y) {
        painter_.setFont(frame_.line());
        const QFontMetricsF metrics(frame_.line(), &frame_.device());
        const double baseline = y + metrics.ascent();
        const std::pair<QString, double> blanks[] = {{QStringLiteral("班主任签字："), 55},
                                                     {QStringLiteral("日期："), 40}};
        double x = 0;
        for (const auto& [label, millimetres] : blanks) {
            painter_.drawText(QPointF(x, baseline), label);
            x += metrics.horizontalAdvance(label);
            painter_.drawLine(QPointF(x, baseline + frame_.mm(1)),
                              QPointF(x + frame_.mm(millimetres), baseline + frame_.mm(1)));
            x += frame_.mm(millimetres + 12);
        }
    }

    QPainter& painter_;
    const PageFrame& frame_;
    const TableLayout& layout_;
    const reports::ClassListDocument& document_;
    QFont tableFont_;
    QFont headingFont_;
    QString date_;
};

}  // namespace

QPageLayout classListPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

int paintClassLists(QPagedPaintDevice& device, const reports::ClassListDocument& document) {
    QPainter painter;
    if (!painter.begin(&device)) {
        throw UserError("打印机或文件不能写入");
    }
    const PageFrame frame(device, document);
    const TableLayout layout = chooseLayout(frame, document);
    const auto parts = planPages(document, layout);
    QPen pen = painter.pen();
    pen.setWidthF(frame.mm(0.2));
    painter.setPen(pen);
    PagePainter pages(painter, frame, layout, document);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            throw UserError("不能开始新的一页");
        }
        pages.paint(parts[i], static_cast<int>(i) + 1, static_cast<int>(parts.size()));
    }
    painter.end();
    return static_cast<int>(parts.size());
}

}  // namespace qm::printing
