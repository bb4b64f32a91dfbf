#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "gui/shared/JobFailure.h"
#include "intake/PreviewGrid.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace qm::gui {

class BackgroundJob;
class MainWindow;
class Workspace;

// The import preview "导入数据浏览": "打开" reads a spreadsheet (.xls, .xlsx or .csv) of students
// into the grid previewGrid on a thread of its own, the grid filling with row numbers as rows are
// read; "导入到库" then replaces the current project's students with the rows shown, in the order
// the columns are shown, under the progress window.
class ImportPreviewWindow : public QWidget {
    Q_OBJECT

  public:
    // main, when given, shows the count of rows read in its status bar.
    explicit ImportPreviewWindow(Workspace& workspace, MainWindow* main = nullptr,
                                 QWidget* parent = nullptr);

    // "打开": asks for a file and reads it.
    void openFile();
    // Reads the file into the grid; the end is told by previewShown.
    void readIntoGrid(const QString& path);
    bool isReading() const;
    // "导入到库": warns of a file that does not look like a list of students (the teacher may
    // stop there), asks, then stores the rows shown.
    void importShownRows();
    // The rows as shown: every grid row with its cells in the order the columns are shown, the
    // file's titles in the same order, and what the reading of the file left out.
    intake::PreviewGrid shownRows() const;

    const QString& lastFile() const { return lastFile_; }

    // The sample workbook opened by the link, beside the program or in the current folder.
    static QString sampleWorkbookPath();

  signals:
    // A read ended; the grid shows the file when it succeeded.
    void previewShown(bool succeeded);

  public:
    // The size the window opens with inside the main window.
    QSize sizeHint() const override { return {960, 560}; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showRowsRead(int rows);
    void showPreview(const intake::PreviewGrid& grid);
    void showTrailingRow(const intake::PreviewGrid& grid);
    void showCount(int count);
    void readEnded(const std::optional<JobFailure>& failure, const intake::PreviewGrid& grid);
    void openSampleWorkbook();

    Workspace& workspace_;
    MainWindow* main_;
    QString lastFile_;
    std::array<std::string, 17> titles_;  // row 1 of the file read last
    bool stopRowFilled_ = false;          // what its reading left out (see PreviewGrid)
    int filledRowsBelow_ = 0;
    BackgroundJob* job_;
    bool closeWhenRead_ = false;
    QTableWidget* previewGrid_;
    QPushButton* openButton_;
    QPushButton* importButton_;
    QLabel* readStateLabel_;
    QLabel* sampleLink_;
};

}  // namespace qm::gui
