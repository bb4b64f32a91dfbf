#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Platform.h"
#include "db/Connection.h"

namespace qm::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The UTF-8 path of a file in the folder, by its UTF-8 name (Chinese names work on Windows
    // too).
    std::string file(const std::string& name) const {
        return platform::pathToUtf8(path_ / platform::pathFromUtf8(name));
    }

  private:
    std::filesystem::path path_;
};

// A real database file in a temporary folder, with fb_info and config created.
class TempDatabase {
  public:
    TempDatabase();
    db::Connection& connection() { return *connection_; }
    const std::string& path() const { return path_; }
    // Closes and reopens the connection, to see only what was committed.
    void reopen();

  private:
    TempFolder folder_;
    std::string path_;
    std::unique_ptr<db::Connection> connection_;
};

// Result of running a program: its exit status and what it printed.
struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built command-line program with these words, without a shell. `inChild`, when
// given, runs in the child process just before the program starts (to set a resource limit).
ProgramResult runCli(const std::vector<std::string>& words,
                     const std::function<void()>& inChild = {});
// Runs a program (found on PATH unless the first word is a path) with these arguments, without a
// shell, as runCli does.
ProgramResult runProgram(std::vector<std::string> argv, const std::function<void()>& inChild = {});

// The path of a file in tests/data.
std::string testData(const std::string& name);

// The path of a sample file that comes with the program (data/导入excel文件样例), such as
// "分班数据输入样例.xls" or "分班约束样例.csv".
std::string sampleFile(const std::string& name);

// The path of the built command-line program.
std::string cliProgram();

}  // namespace qm::test
