#include "XlsxSheet.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <optional>

#include "SerialDate.h"
#include "XlsxPackage.h"

namespace qm::intake {

namespace {

// The highest row and column a reference may name: beyond them it is taken as no reference.
constexpr long long kMaxRow = INT_MAX;
constexpr int kMaxColumn = 1 << 20;

std::string_view trimmedXml(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<long long> parseWhole(std::string_view text) {
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Splits a cell reference such as "AB12" or "ab12" into row 12 and column 28.
std::optional<std::pair<int, int>> parseReference(std::string_view reference) {
    int column = 0;
    std::size_t i = 0;
    for (; i < reference.size() && column <= kMaxColumn; ++i) {
        const char c = reference[i];
        if (c >= 'A' && c <= 'Z') {
            column = column * 26 + (c - 'A' + 1);
        } else if (c >= 'a' && c <= 'z') {
            column = column * 26 + (c - 'a' + 1);
        } else {
            break;
        }
    }
    const auto row = parseWhole(reference.substr(i));
    if (column == 0 || column > kMaxColumn || !row || *row < 1 || *row > kMaxRow) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(*row), column};
}

// The number in a <v> element, which is written in the C locale whatever the reader's locale.
std::optional<double> parseValue(std::string_view text) {
    text = trimmedXml(text);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Reads the <row> elements of <sheetData> and their <c> elements.
class SheetParser : public XmlHandler {
  public:
    SheetParser(const XlsxCellContext& context, SheetCells& cells)
        : context_(context), cells_(cells) {}

    void startElement(std::string_view name, const char** attributes) override {
        if (name == "sheetData") {
            inSheetData_ = true;
        } else if (name == "row" && inSheetData_) {
            startRow(attributes);
        } else if (name == "c" && inSheetData_) {
            startCell(attributes);
        } else if (inCell_ && name == "v") {
            inValue_ = true;
        } else if (inCell_ && name == "is") {
            inInlineString_ = true;
            item_.take();
        } else if (inInlineString_) {
            item_.startElement(name);
        }
    }

    void endElement(std::string_view name) override {
        if (name == "sheetData") {
            inSheetData_ = false;
        } else if (name == "c" && inCell_) {
            finishCell();
        } else if (name == "v") {
            inValue_ = false;
        } else if (name == "is" && inInlineString_) {
            inInlineString_ = false;
            inlineText_ = item_.take();
            hasInlineText_ = true;
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
    void startRow(const char** attributes) {
        const char* number = xmlAttribute(attributes, "r");
        const auto parsed = number ? parseWhole(trimmedXml(number)) : std::nullopt;
        row_ = parsed && *parsed >= 1 && *parsed <= kMaxRow ? *parsed : std::min(row_ + 1, kMaxRow);
        column_ = 0;
    }

    void startCell(const char** attributes) {
        const char* reference = xmlAttribute(attributes, "r");
        const auto place = reference ? parseReference(trimmedXml(reference)) : std::nullopt;
        if (place) {
            cellRow_ = place->first;
            column_ = place->second;
        } else {
            cellRow_ = static_cast<int>(std::max(row_, 1LL));
            column_ = std::min(column_ + 1, kMaxColumn);
        }
        const char* type = xmlAttribute(attributes, "t");
        type_ = type ? type : "n";
        const char* style = xmlAttribute(attributes, "s");
        const auto styleNumber = style ? parseWhole(trimmedXml(style)) : std::nullopt;
        shape_ = styleNumber && *styleNumber >= 0 &&
                         static_cast<std::size_t>(*styleNumber) < context_.cellFormatShapes.size()
                     ? context_.cellFormatShapes[static_cast<std::size_t>(*styleNumber)]
                     : NumberShape::Plain;
        value_.clear();
        inlineText_.clear();
        hasInlineText_ = false;
        inCell_ = true;
    }

    void finishCell() {
        inCell_ = false;
        inValue_ = false;
        const int row = cellRow_;
        const int column = column_;
        if (type_ == "inlineStr") {
            if (hasInlineText_ || !value_.empty()) {
                cells_.addText(row, column, hasInlineText_ ? std::move(inlineText_) : value_);
            }
        } else if (value_.empty()) {
            // A cell with a style but no value is empty.
        } else if (type_ == "s") {
            const auto index = parseWhole(trimmedXml(value_));
            if (index && *index >= 0 &&
                static_cast<std::size_t>(*index) < context_.sharedStrings.size()) {
                cells_.addSharedText(row, column, static_cast<std::uint32_t>(*index));
            }
        } else if (type_ == "b") {
            const std::string_view value = trimmedXml(value_);
            cells_.addBoolean(row, column, value == "1" || value == "true");
        } else if (type_ == "n") {
            if (const auto number = parseValue(value_)) {
                cells_.addNumber(row, column, *number, shape_);
            } else {
                cells_.addText(row, column, value_);
            }
        } else if (type_ == "d") {
            // A date written as text is shown as a date serial of its cell's format would be.
            if (const auto serial = isoDateSerial(trimmedXml(value_), context_.epoch1904)) {
                cells_.addNumber(row, column, *serial,
                                 shape_ == NumberShape::Plain ? NumberShape::Date : shape_);
            } else {
                cells_.addText(row, column, value_);
            }
        } else {
            // "str" (a formula's text), "e" (an error such as #N/A): as written.
            cells_.addText(row, column, value_);
        }
    }

    const XlsxCellContext& context_;
    SheetCells& cells_;
    StringItemText item_;
    long long row_ = 0;  // of the present <row>
    int cellRow_ = 0;
    int column_ = 0;
    std::string type_;
    NumberShape shape_ = NumberShape::Plain;
    std::string value_;
    std::string inlineText_;
    bool hasInlineText_ = false;
    bool inSheetData_ = false;
    bool inCell_ = false;
    bool inValue_ = false;
    bool inInlineString_ = false;
};

}  // namespace

std::unique_ptr<SheetCells> readXlsxSheet(const ZipArchive& archive, const std::string& entry,
                                          const XlsxCellContext& context) {
    auto cells =
        std::make_unique<SheetCells>(archive.path(), &context.sharedStrings, context.epoch1904);
    SheetParser parser(context, *cells);
    archive.parseXml(entry, parser);
    cells->finish();
    return cells;
}

}  // namespace qm::intake
