#include "SheetCells.h"

#include <algorithm>

#include "PreviewReader.h"
#include "ReadLimits.h"
#include "SerialDate.h"
#include "common/Utf8.h"

namespace qm::intake {

namespace {

bool before(int rowA, int columnA, int rowB, int columnB) {
    return rowA < rowB || (rowA == rowB && columnA < columnB);
}

}  // namespace

SheetCells::SheetCells(std::string path, const std::vector<std::string>* sharedStrings,
                       bool epoch1904)
    : path_(std::move(path)), sharedStrings_(sharedStrings), epoch1904_(epoch1904) {}

void SheetCells::add(const Entry& entry) {
    if (entry.column < 1 || entry.column > kMaxColumn) {
        return;
    }
    if (entries_.empty() || entries_.back().row != entry.row) {
        if (++rowsSeen_ > ReadLimits::kRows) {
            throw fileTooBig(path_, "的工作表超过 " + std::to_string(ReadLimits::kRows) + " 行");
        }
    }
    if (entries_.size() >= ReadLimits::kCells) {
        throw fileTooBig(
            path_, "的工作表超过 " + std::to_string(ReadLimits::kCells) + " 个有内容的单元格");
    }
    if (!entries_.empty() &&
        !before(entries_.back().row, entries_.back().column, entry.row, entry.column)) {
        ordered_ = false;
    }
    entries_.push_back(entry);
}

void SheetCells::checkCellText(const std::string& text, int row, int column) const {
    if (text.size() > ReadLimits::kCellCharacters &&
        utf8CharacterCount(text) > ReadLimits::kCellCharacters) {
        throw fileTooBig(path_, "第" + std::to_string(row) + "行第" + columnName(column) +
                                    "列的文字超过 " + std::to_string(ReadLimits::kCellCharacters) +
                                    " 个字符");
    }
}

SheetCells::Entry SheetCells::numberEntry(int row, int column, double value, Kind kind,
                                          NumberShape shape) {
    Entry entry{};
    entry.number = value;
    entry.row = row;
    entry.column = static_cast<std::uint16_t>(std::clamp(column, 0, kMaxColumn + 1));
    entry.kind = kind;
    entry.shape = shape;
    return entry;
}

SheetCells::Entry SheetCells::textEntry(int row, int column, std::uint32_t text, Kind kind) {
    Entry entry = numberEntry(row, column, 0.0, kind, NumberShape::Plain);
    entry.text = text;
    return entry;
}

void SheetCells::addNumber(int row, int column, double value, NumberShape shape) {
    add(numberEntry(row, column, value, Kind::Number, shape));
}

void SheetCells::addBoolean(int row, int column, bool value) {
    add(numberEntry(row, column, value ? 1.0 : 0.0, Kind::Boolean, NumberShape::Plain));
}

void SheetCells::addSharedText(int row, int column, std::uint32_t index) {
    checkCellText((*sharedStrings_)[index], row, column);
    add(textEntry(row, column, index, Kind::SharedText));
}

void SheetCells::addText(int row, int column, std::string text) {
    checkCellText(text, row, column);
    ownTextBytes_ += text.size();
    if (ownTextBytes_ > ReadLimits::kTextBytes) {
        throw fileTooBig(
            path_, "的工作表中的文字超过 " + std::to_string(ReadLimits::kTextBytes >> 20) + " MB");
    }
    ownTexts_.push_back(std::move(text));
    add(textEntry(row, column, static_cast<std::uint32_t>(ownTexts_.size() - 1), Kind::OwnText));
}

void SheetCells::finish() {
    if (ordered_) {
        return;
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return before(a.row, a.column, b.row, b.column);
    });
    // Of cells added twice the later one stays: it is the last of its equal neighbours.
    std::deque<Entry> unique;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const bool repeatedLater = i + 1 < entries_.size() &&
                                   entries_[i + 1].row == entries_[i].row &&
                                   entries_[i + 1].column == entries_[i].column;
        if (!repeatedLater) {
            unique.push_back(entries_[i]);
        }
    }
    entries_ = std::move(unique);
    ordered_ = true;
}

const std::string& SheetCells::textOf(const Entry& entry) const {
    return entry.kind == Kind::SharedText ? (*sharedStrings_)[entry.text] : ownTexts_[entry.text];
}

std::size_t SheetCells::find(int row, int column) const {
    const auto isBefore = [&](std::size_t at) {
        return before(entries_[at].row, entries_[at].column, row, column);
    };
    // Cells are mostly asked for in order, row by row: look a few places on from the last one
    // found before searching the whole sheet.
    constexpr std::size_t kLookAhead = 4;
    std::size_t at = std::min(hint_, entries_.size());
    const std::size_t limit = std::min(at + kLookAhead, entries_.size());
    while (at < limit && isBefore(at)) {
        ++at;
    }
    const bool firstNotBefore =
        (at == entries_.size() || !isBefore(at)) && (at == 0 || isBefore(at - 1));
    if (!firstNotBefore) {
        std::size_t low = 0;
        std::size_t high = entries_.size();
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (isBefore(middle)) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        at = low;
    }
    hint_ = at;
    const bool found =
        at < entries_.size() && entries_[at].row == row && entries_[at].column == column;
    return found ? at : entries_.size();
}

SheetCell SheetCells::cell(int row, int column) const {
    const std::size_t at = find(row, column);
    if (at == entries_.size()) {
        return {};
    }
    const Entry* found = &entries_[at];
    switch (found->kind) {
        case Kind::Number:
            return {found->shape == NumberShape::Plain ? CellKind::Number : CellKind::Text,
                    numberCellText(found->number, found->shape, epoch1904_),
                    found->shape == NumberShape::Plain ? found->number : 0.0};
        case Kind::Boolean:
            return {CellKind::Boolean, found->number != 0.0 ? "TRUE" : "FALSE", found->number};
        case Kind::SharedText:
        case Kind::OwnText:
            break;
    }
    return {CellKind::Text, textOf(*found), 0.0};
}

int SheetCells::lastUsedColumn(int row) const {
    const auto first =
        std::lower_bound(entries_.begin(), entries_.end(), row,
                         [](const Entry& entry, int number) { return entry.row < number; });
    auto end = first;
    while (end != entries_.end() && end->row == row) {
        ++end;
    }
    for (auto entry = end; entry != first;) {
        --entry;
        const bool text = entry->kind == Kind::SharedText || entry->kind == Kind::OwnText;
        if (!text || !textOf(*entry).empty()) {
            return entry->column;
        }
    }
    return 0;
}

int SheetCells::lastRow() const {
    return entries_.empty() ? 0 : entries_.back().row;
}

}  // namespace qm::intake
