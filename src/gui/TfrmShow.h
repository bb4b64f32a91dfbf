#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace qm::gui {

// The message console "显示台": one per program, showing the lines of every division run below
// its initial line. Closing it only hides it; the lines stay until the program ends.
class TfrmShow : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmShow(QWidget* owner = nullptr);

    // Appends lines at the end and keeps the last line in view.
    void showMsg(const QString& line);
    void appendLines(const QStringList& lines);
    // Every line shown, the initial line first.
    QStringList lines() const;

  private:
    QPlainTextEdit* memoMsg_;
};

}  // namespace qm::gui
