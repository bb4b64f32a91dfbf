#pragma once

#include <QDockWidget>
#include <QStringList>

class QPlainTextEdit;

namespace qm::gui {

// The message console "显示台": one per program, showing the lines of every division run below
// its initial line. It is a panel of the main window, below the work windows so that it never
// covers the result grid; the teacher can move it to another side or float it as a window of its
// own, and the main window remembers where. Closing it only hides it; the lines stay until the
// program ends.
class MessageConsole : public QDockWidget {
    Q_OBJECT

  public:
    explicit MessageConsole(QWidget* owner = nullptr);

    // Appends lines at the end and keeps the last line in view.
    void appendLine(const QString& line);
    void appendLines(const QStringList& lines);
    // Every line shown, the initial line first.
    QStringList lines() const;

    QSize sizeHint() const override { return {603, 180}; }

  private:
    QPlainTextEdit* linesView_;
};

}  // namespace qm::gui
