#pragma once

#include <QObject>
#include <cstdint>
#include <optional>

namespace qm::gui {

class Workspace;

// Notices what another program (a script of the command line beside the window, say) committed
// to the database since the window last looked: SQLite's PRAGMA data_version of the window's
// connection changes exactly when another connection has committed. Asked before each write a
// window makes and whenever a window is activated. When something changed, every window of the
// current project shows its classes anew (announced as a change of all classes) and `changed`
// tells the windows that hold values of their own, such as the settings window.
class OutsideChanges : public QObject {
    Q_OBJECT

  public:
    explicit OutsideChanges(Workspace& workspace);

    // True, after telling every window, when another connection committed since the last look.
    bool check();

  signals:
    void changed();

  private:
    std::optional<std::int64_t> readVersion() const;

    Workspace& workspace_;
    std::optional<std::int64_t> seen_;
};

}  // namespace qm::gui
