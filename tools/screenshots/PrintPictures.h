#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace qm::gui {
class MainWindow;
}

namespace qm::store {
struct CurrentProject;
}

namespace qm::test {

// The result window of the project, made current and divided there, with one class shown beside
// its grid and a student found by the initials of his name; the dialog that asks what goes on
// the class lists; their print preview; and a printed page itself, a class of 50 of a sample of
// its own, the PDF rendered by pdftoppm into folder (left out, with a note, where pdftoppm is not
// installed). The windows are
// handed to save, every picture numbered from firstNumber. Returns the number after the last,
// or nothing when the division did not succeed.
std::optional<int> savePrintPictures(gui::MainWindow& main, const store::CurrentProject& project,
                                     int firstNumber, const QString& folder,
                                     const std::function<bool(QWidget&, const QString&)>& save);

}  // namespace qm::test
