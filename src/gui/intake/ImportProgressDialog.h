#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <optional>

#include "gui/shared/UserMessages.h"
#include "intake/ImportSave.h"
#include "intake/PreviewGrid.h"
#include "store/ProjectStore.h"

class QProgressBar;
class QPushButton;

namespace qm::gui {

class BackgroundJob;
class Workspace;

// The progress window "正在导入……" of an import: half a second after it is shown it stores the
// previewed rows in the project's student table, on a thread of its own, with a progress bar.
// The save is all or nothing: "取消" (and closing the window, and Esc) asks it to stop after the
// row in progress, and then, as after a row that cannot be stored, the project's students are as
// they were before. When the save has ended the window closes; endMessage says how it ended, for
// the caller to tell once the window is gone.
class ImportProgressDialog : public QDialog {
    Q_OBJECT

  public:
    ImportProgressDialog(Workspace& workspace, store::CurrentProject project,
                         intake::PreviewGrid grid, QWidget* parent = nullptr);
    ~ImportProgressDialog() override;

    // How the save ended; nothing while it has not, or when the database refused to start it.
    const std::optional<intake::SaveOutcome>& outcome() const { return outcome_; }
    // What to tell about the end of the save: the count stored, the row that could not be, or
    // the error; nothing after a cancel or while the save has not ended.
    std::optional<UserMessage> endMessage() const;
    bool isSaving() const;

  public slots:
    // Acts like 取消 until the save has ended.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void saveToDb();
    void saveEnded(const QString& error);

    Workspace& workspace_;
    store::CurrentProject project_;
    intake::PreviewGrid grid_;
    QProgressBar* progressBar_;
    QPushButton* cancelButton_;
    QTimer startDelay_;
    BackgroundJob* job_;
    std::atomic<bool> cancelMark_ = false;
    bool ended_ = false;
    QString error_;
    std::optional<intake::SaveOutcome> outcome_;
};

}  // namespace qm::gui
