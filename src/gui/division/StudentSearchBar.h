#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace qm::gui {

class ResultGrid;
class Workspace;

// The search box above the result grid: a student number, a part of a name or the initials of a
// name's pinyin ("zs" for 张三) chooses the first student of the grid it finds, as it is typed,
// and brings the row into view; Enter, F3 and "下一个" go on to the next one, after the last back
// to the first. Beside the box: which of how many ("第 2/3 名"), or "没有找到" in red.
class StudentSearchBar : public QWidget {
    Q_OBJECT

  public:
    StudentSearchBar(Workspace& workspace, ResultGrid& grid, QWidget* parent = nullptr);

    // Ctrl+F (the cursor into the box, its text chosen) and F3 (the next student) anywhere in
    // the window.
    void addShortcutsTo(QWidget& window);
    // Puts the cursor into the box, its text chosen.
    void focusSearch();
    // Goes on to the next student the text finds.
    void findNext();

  signals:
    // The student of this grid row is found: a view that hides the row shows it now; the row is
    // chosen right after.
    void rowFound(int row);

  private:
    void find(bool next);
    void showResult(const QString& text, bool found);

    Workspace& workspace_;
    ResultGrid& grid_;
    QLineEdit* searchEdit_;
    QToolButton* nextButton_;
    QLabel* resultLabel_;
    QString lastText_;
    int index_ = 0;
};

}  // namespace qm::gui
