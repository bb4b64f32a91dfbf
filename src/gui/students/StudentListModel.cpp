#include "gui/students/StudentListModel.h"

#include "db/ResultSet.h"

namespace qm::gui {

StudentListModel::StudentListModel(QObject* parent) : QAbstractTableModel(parent) {}

int StudentListModel::columnOf(std::string_view field) {
    for (int c = 0; c < kColumnCount; ++c) {
        if (reports::kListColumns[static_cast<std::size_t>(c)].column == field) {
            return c;
        }
    }
    return -1;
}

void StudentListModel::load(const db::ResultSet& rows) {
    beginResetModel();
    endEdit();
    records_.clear();
    std::vector<std::size_t> sourceColumns;
    for (const auto& column : reports::kListColumns) {
        sourceColumns.push_back(rows.columnIndex(column.column));
    }
    const std::size_t idColumn = rows.columnIndex("student_id");
    records_.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        Record record;
        const db::Value& id = rows.at(r, idColumn);
        if (!id.isNull()) {
            record.studentId = static_cast<int>(id.toInt());
        }
        record.cells.reserve(sourceColumns.size());
        for (std::size_t c : sourceColumns) {
            record.cells.push_back(QString::fromStdString(rows.at(r, c).toText()));
        }
        records_.push_back(std::move(record));
    }
    endResetModel();
}

void StudentListModel::clearRows() {
    beginResetModel();
    endEdit();
    records_.clear();
    endResetModel();
}

int StudentListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(records_.size());
}

int StudentListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QString StudentListModel::text(int row, int column) const {
    return records_.at(static_cast<std::size_t>(row)).cells.at(static_cast<std::size_t>(column));
}

QVariant StudentListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return text(index.row(), index.column());
    }
    if (role == Qt::TextAlignmentRole) {
        const bool centred =
            reports::kListColumns[static_cast<std::size_t>(index.column())].centred;
        return QVariant::fromValue(centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QVariant StudentListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section == editedRow_ ? QStringLiteral("*") : QString();
    }
    const auto heading = reports::kListColumns[static_cast<std::size_t>(section)].heading;
    return QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size()));
}

// A stored student can be dragged onto a class (the window carries it, see StudentDrag).
Qt::ItemFlags StudentListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    const bool stored = index.isValid() && storedStudentId(index.row()).has_value();
    return stored ? flags | Qt::ItemIsDragEnabled : flags;
}

bool StudentListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    if (editedRow_ >= 0 && editedRow_ != index.row()) {
        return false;
    }
    Record& record = records_.at(static_cast<std::size_t>(index.row()));
    const QString typed = value.toString();
    if (record.cells.at(static_cast<std::size_t>(index.column())) == typed) {
        return true;
    }
    if (editedRow_ < 0) {
        editedRow_ = index.row();
        cellsBeforeEdit_ = record.cells;
        emit editingChanged(true);
        emit headerDataChanged(Qt::Vertical, editedRow_, editedRow_);
    }
    record.cells[static_cast<std::size_t>(index.column())] = typed;
    changedColumns_.insert(index.column());
    emit dataChanged(index, index);
    return true;
}

bool StudentListModel::insertBlankRow(int row) {
    if (editedRow_ >= 0) {
        return false;
    }
    row = std::clamp(row, 0, static_cast<int>(records_.size()));
    beginInsertRows({}, row, row);
    records_.insert(records_.begin() + row,
                    Record{std::nullopt, std::vector<QString>(kColumnCount)});
    endInsertRows();
    editedRow_ = row;
    inserting_ = true;
    cellsBeforeEdit_.clear();
    emit editingChanged(true);
    emit headerDataChanged(Qt::Vertical, row, row);
    return true;
}

void StudentListModel::removeRecord(int row) {
    if (row == editedRow_) {
        endEdit();
    } else if (editedRow_ > row) {
        --editedRow_;
    }
    beginRemoveRows({}, row, row);
    records_.erase(records_.begin() + row);
    endRemoveRows();
}

std::optional<int> StudentListModel::storedStudentId(int row) const {
    return records_.at(static_cast<std::size_t>(row)).studentId;
}

reports::StudentFields StudentListModel::editedFields() const {
    reports::StudentFields fields;
    if (editedRow_ < 0) {
        return fields;
    }
    const Record& record = records_.at(static_cast<std::size_t>(editedRow_));
    for (int c = 0; c < kColumnCount; ++c) {
        const QString& cell = record.cells[static_cast<std::size_t>(c)];
        const bool wanted = inserting_ ? !cell.isEmpty() : changedColumns_.count(c) > 0;
        if (wanted) {
            fields.emplace_back(
                std::string(reports::kListColumns[static_cast<std::size_t>(c)].column),
                cell.toStdString());
        }
    }
    return fields;
}

void StudentListModel::commitEdit() {
    if (editedRow_ < 0) {
        return;
    }
    Record& record = records_.at(static_cast<std::size_t>(editedRow_));
    record.studentId = record.cells[static_cast<std::size_t>(columnOf("student_id"))].toInt();
    endEdit();
}

void StudentListModel::cancelEdit() {
    if (editedRow_ < 0) {
        return;
    }
    const int row = editedRow_;
    if (inserting_) {
        removeRecord(row);
        return;
    }
    records_.at(static_cast<std::size_t>(row)).cells = cellsBeforeEdit_;
    endEdit();
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void StudentListModel::endEdit() {
    const int row = editedRow_;
    const bool wasEditing = row >= 0;
    editedRow_ = -1;
    inserting_ = false;
    changedColumns_.clear();
    cellsBeforeEdit_.clear();
    if (wasEditing) {
        if (row < static_cast<int>(records_.size())) {
            emit headerDataChanged(Qt::Vertical, row, row);
        }
        emit editingChanged(false);
    }
}

}  // namespace qm::gui
