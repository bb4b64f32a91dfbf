#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Everything the core asks of the operating system beyond the C++ standard library, in one place,
// so that a build for another system changes this pair of files only. Paths cross the core as
// UTF-8 text; these functions turn them into the system's own paths and back.
namespace qm::platform {

// The value of an environment variable as UTF-8; nothing when it is unset or empty.
std::optional<std::string> environmentVariable(const char* name);

// The folder of the running executable; the current folder when the system does not say.
std::filesystem::path executableFolder();

// True when the current user may create files in this existing folder.
bool canWriteInFolder(const std::filesystem::path& folder);

// The folder where programs keep a user's data: $XDG_DATA_HOME, else ~/.local/share (on Windows
// %APPDATA%). Empty when the environment names none.
std::filesystem::path userDataFolder();

// The program's arguments (without its own name) as UTF-8: on Windows read from the wide command
// line, since the narrow argv holds them in the local code page.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Lets the console show the UTF-8 the program prints (on Windows it otherwise reads it in the
// local code page), and has standard output and error pass bytes as they are (on Windows they
// would add a carriage return before every line feed, doubling the one of CSV lines); nothing to
// do elsewhere.
void useUtf8Console();

// A path from UTF-8 text, and back: file names with Chinese characters survive on every system.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string pathToUtf8(const std::filesystem::path& path);

// True when the system's error number of a failed write (errno, or what the database engine
// reports as its system error) means that the disk has no room left.
bool isDiskFull(int systemError);

}  // namespace qm::platform
