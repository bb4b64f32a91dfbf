#pragma once

#include <QSettings>
#include <QStringList>
#include <optional>
#include <string>

class QApplication;

namespace qm::gui {

inline constexpr const char* kProgramTitle = "QuillmereV3.35";

// Gives the program its name, a font that holds the Chinese characters of every window, and
// Chinese captions for the standard buttons and dialogs of Qt where Qt's translations exist.
void configureApplication(QApplication& application);

// Where the program remembers what the teacher arranged (the place of the console).
QSettings programSettings();

// The database path given on the command line as "--db PATH" or "--db=PATH"; empty when none
// is given (then QUILLMERE_DB and the default places apply). Nothing when the option lacks its
// path.
std::optional<std::string> databaseOption(const QStringList& arguments);

}  // namespace qm::gui
