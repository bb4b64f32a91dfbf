#pragma once

#include <QDialog>

namespace qm::gui {

// The window "关于": the program's name and version, what it does in one line, and where its
// database file is (and the copies a restore keeps beside it).
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    AboutDialog(const QString& databasePath, QWidget* parent = nullptr);
};

}  // namespace qm::gui
