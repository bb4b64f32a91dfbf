#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm::test {

// How a child process ended.
struct ChildEnd {
    bool exited = false;  // by exit(), with `code`; otherwise killed by `signal`
    int code = 0;
    int signal = 0;

    bool cleanExit() const { return exited && code == 0; }
    // "exit status 1", "signal 11 (Segmentation fault)".
    std::string description() const;
};

// How to start a program: its words (argv[0] a path, or a name looked up on PATH), "NAME=value"
// settings besides the test's environment, the files its output and its errors go to (errors to
// outputFile when errorFile is not named; /dev/null when neither is), and work done in the child
// just before the program starts (such as setting a resource limit).
struct ProgramStart {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    std::string outputFile;
    std::string errorFile;
    std::function<void()> inChild;
};

// A child process of the test: a function run in a fork, or a program. Either way its standard
// input is /dev/null; a program's output goes where its start says, a function's stays the
// test's. The one way the POSIX tests start programs (runProgram and runCli use it too).
class ChildProcess {
  public:
    // Runs `work` in a fork of this process; the child exits with status 0 when it returns.
    static ChildProcess fork(const std::function<void()>& work);
    // Starts the program without a shell.
    static ChildProcess start(const ProgramStart& program);
    // Starts the program with these settings, its output and errors together in outputFile.
    static ChildProcess start(const std::vector<std::string>& argv,
                              const std::vector<std::string>& environment = {},
                              const std::string& outputFile = {});

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    // Kills and reaps a child that was not waited for.
    ~ChildProcess();

    void kill(int signal);
    ChildEnd wait();
    // Whether the child has ended, without waiting; wait() then gives how.
    bool hasEnded();

  private:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    pid_t pid_;
    std::optional<ChildEnd> end_;
};

}  // namespace qm::test
