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

// A child process of the test: a function run in a fork, or a program. Either way its standard
// input is /dev/null; a program's output goes to /dev/null (or to a file named at its start), a
// function's stays the test's.
class ChildProcess {
  public:
    // Runs `work` in a fork of this process; the child exits with status 0 when it returns.
    static ChildProcess fork(const std::function<void()>& work);
    // Starts the program (argv[0] is its path) without a shell, with the environment of the test
    // and these "NAME=value" settings besides; its output and errors go to outputFile when named.
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
