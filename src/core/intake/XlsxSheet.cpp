#include "XlsxSheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "SerialDate.h"
#include "XlsxPackage.h"
#include "common/NumberText.h"

namespace qm::intake {

namespace {

// Splits a cell reference such as "AB12" into row 12 and column 28. Gives {0, 0} when the text
// is not a reference.
std::pair<int, int> parseReference(std::string_view reference) {
    int column = 0;
    std::size_t i = 0;
    while (i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' && column < 100000) {
        column = column * 26 + (reference[i] - 'A' + 1);
        ++i;
    }
    int row = 0;
    const auto result =
        std::from_chars(reference.data() + i, reference.data() + reference.size(), row);
    if (column == 0 || result.ec != std::errc() || row <= 0) {
        return {0, 0};
    }
    return {row, column};
}

// The number in a <v> element, which is written in the C locale whatever the reader's locale.
std::optional<double> parseValue(const std::string& text) {
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Reads <row> and <c> elements. Rows and cells without a reference follow the previous one.
class SheetParser : public XmlHandler {
  public:
    SheetParser(const XlsxCellContext& context, std::vector<XlsxSheet::Row>& rows)
        : context_(context), rows_(rows) {}

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "row") {
            const char* number = xmlAttribute(attributes, "r");
            const int next = rows_.empty() ? 1 : rows_.back().number + 1;
            rows_.push_back({number ? std::max(1, std::atoi(number)) : next, {}});
            column_ = 0;
        } else if (name == "c") {
            startCell(attributes);
        } else if (inCell_ && (name == "v" || (name == "t" && inInlineString_))) {
            inValue_ = name == "v";
            item_.startElement(name);
        } else if (inCell_ && name == "is") {
            inInlineString_ = true;
            item_.take();
        } else if (inInlineString_) {
            item_.startElement(name);
        }
    }

    void endElement(std::string_view name) override {
        if (name == "c" && inCell_) {
            finishCell();
        } else if (name == "v") {
            inValue_ = false;
        } else if (name == "is") {
            inInlineString_ = false;
            inlineText_ = item_.take();
        } else if (inInlineString_) {
            item_.endElement(name);
        }
    }

    void characters(std::string_view text) override {
        if (inValue_) {
            value_ += text;
        } else if (inInlineString_) {
            item_.characters(text);
        }
    }

  private:
    void startCell(const char** attributes) {
        if (rows_.empty()) {
            rows_.push_back({1, {}});  // a cell outside any row element: keep it, in row 1
        }
        const char* reference = xmlAttribute(attributes, "r");
        const auto [row, column] = reference ? parseReference(reference) : std::pair{0, 0};
        column_ = column > 0 && row == rows_.back().number ? column : column_ + 1;
        const char* type = xmlAttribute(attributes, "t");
        type_ = type ? type : "n";
        const char* style = xmlAttribute(attributes, "s");
        style_ = style ? std::atoi(style) : 0;
        value_.clear();
        inlineText_.clear();
        inCell_ = true;
    }

    void finishCell() {
        inCell_ = false;
        inValue_ = false;
        SheetCell cell = makeCell();
        if (cell.kind == CellKind::Empty) {
            return;
        }
        auto& cells = rows_.back().cells;
        if (!cells.empty() && cells.back().first >= column_) {
            // Out of order or repeated: keep the cells sorted, the later one winning.
            const auto place = std::lower_bound(
                cells.begin(), cells.end(), column_,
                [](const auto& entry, int column) { return entry.first < column; });
            if (place != cells.end() && place->first == column_) {
                place->second = std::move(cell);
            } else {
                cells.insert(place, {column_, std::move(cell)});
            }
            return;
        }
        cells.emplace_back(column_, std::move(cell));
    }

    SheetCell makeCell() const {
        SheetCell cell;
        if (type_ == "inlineStr") {
            cell.kind = CellKind::Text;
            cell.text = inlineText_;
        } else if (value_.empty()) {
            // A cell with a style but no value is empty.
        } else if (type_ == "s") {
            const auto index = static_cast<std::size_t>(std::atol(value_.c_str()));
            cell.kind = CellKind::Text;
            cell.text = index < context_.sharedStrings.size() ? context_.sharedStrings[index] : "";
        } else if (type_ == "b") {
            cell.kind = CellKind::Boolean;
            cell.number = value_ == "1" || value_ == "true" ? 1.0 : 0.0;
            cell.text = cell.number != 0.0 ? "TRUE" : "FALSE";
        } else if (type_ == "n") {
            const auto number = parseValue(value_);
            if (!number) {
                cell.kind = CellKind::Text;
                cell.text = value_;
            } else if (isDateStyle()) {
                cell.kind = CellKind::Text;
                cell.text = serialDateText(*number, context_.epoch1904);
            } else {
                cell.kind = CellKind::Number;
                cell.number = *number;
                cell.text = numberText(*number);
            }
        } else {
            // "str" (a formula's text), "e" (an error such as #N/A), "d" (an ISO date): as written.
            cell.kind = CellKind::Text;
            cell.text = value_;
        }
        return cell;
    }

    bool isDateStyle() const {
        return style_ >= 0 && static_cast<std::size_t>(style_) < context_.dateStyles.size() &&
               context_.dateStyles[static_cast<std::size_t>(style_)];
    }

    const XlsxCellContext& context_;
    std::vector<XlsxSheet::Row>& rows_;
    StringItemText item_;
    int column_ = 0;
    std::string type_;
    int style_ = 0;
    std::string value_;
    std::string inlineText_;
    bool inCell_ = false;
    bool inValue_ = false;
    bool inInlineString_ = false;
};

}  // namespace

XlsxSheet::XlsxSheet(const ZipArchive& archive, const std::string& entry,
                     const XlsxCellContext& context) {
    SheetParser parser(context, rows_);
    archive.parseXml(entry, parser);
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const Row& a, const Row& b) { return a.number < b.number; });
}

const XlsxSheet::Row* XlsxSheet::findRow(int row) const {
    const auto found =
        std::lower_bound(rows_.begin(), rows_.end(), row,
                         [](const Row& entry, int number) { return entry.number < number; });
    return found != rows_.end() && found->number == row ? &*found : nullptr;
}

SheetCell XlsxSheet::cell(int row, int column) const {
    const Row* found = findRow(row);
    if (!found) {
        return {};
    }
    const auto& cells = found->cells;
    const auto place = std::lower_bound(cells.begin(), cells.end(), column,
                                        [](const auto& entry, int c) { return entry.first < c; });
    return place != cells.end() && place->first == column ? place->second : SheetCell{};
}

int XlsxSheet::lastUsedColumn(int row) const {
    const Row* found = findRow(row);
    if (!found) {
        return 0;
    }
    for (auto entry = found->cells.rbegin(); entry != found->cells.rend(); ++entry) {
        if (!entry->second.text.empty()) {
            return entry->first;
        }
    }
    return 0;
}

}  // namespace qm::intake
