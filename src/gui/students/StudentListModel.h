#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <optional>
#include <set>
#include <vector>

#include "reports/StudentColumns.h"
#include "reports/StudentEditor.h"

namespace qm::db {
class ResultSet;
}

namespace qm::gui {

// The rows of the student list as the grid shows them, in the list's columns, with the edit of
// one row at a time: cells typed into a row are held until the row is posted (stored by the
// window) or cancelled. A row inserted in the grid is such an edit too, until it is posted.
class StudentListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int kColumnCount = static_cast<int>(reports::kListColumns.size());

    explicit StudentListModel(QObject* parent = nullptr);

    // Replaces the rows by those of a query over the student table; drops an unposted edit.
    void load(const db::ResultSet& rows);
    void clearRows();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typing into a row starts its edit; a row other than the one being edited is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The column of a field of the student table; -1 when the list does not show it.
    static int columnOf(std::string_view field);
    QString text(int row, int column) const;

    // Adds an empty row at this place and starts its edit; false while another row is edited.
    bool insertBlankRow(int row);
    void removeRecord(int row);

    bool isEditing() const { return editedRow_ >= 0; }
    int editedRow() const { return editedRow_; }
    bool isInserting() const { return inserting_; }
    // The student number the edited row had when it was loaded (not for an inserted row).
    std::optional<int> storedStudentId(int row) const;
    // What the edited row has to store: the changed cells, or every filled cell of a new row.
    reports::StudentFields editedFields() const;
    // The edit was stored: the row keeps its cells and becomes an ordinary row.
    void commitEdit();
    // The edit is dropped: the row gets its cells back, an inserted row goes.
    void cancelEdit();

  signals:
    void editingChanged(bool editing);

  private:
    struct Record {
        std::optional<int> studentId;  // as stored; nothing for a row inserted in the grid
        std::vector<QString> cells;
    };

    void endEdit();

    std::vector<Record> records_;
    int editedRow_ = -1;
    bool inserting_ = false;
    std::vector<QString> cellsBeforeEdit_;
    std::set<int> changedColumns_;
};

}  // namespace qm::gui
