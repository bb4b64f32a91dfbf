#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace qm::test {

std::string ChildEnd::description() const {
    if (exited) {
        return "exit status " + std::to_string(code);
    }
    return "signal " + std::to_string(signal) + " (" + ::strsignal(signal) + ")";
}

namespace {

pid_t forkOrThrow() {
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    }
    if (pid == 0) {
        const int nothing = ::open("/dev/null", O_RDWR);
        if (nothing > 0) {
            ::dup2(nothing, 0);
            ::close(nothing);
        }
    }
    return pid;
}

}  // namespace

ChildProcess ChildProcess::fork(const std::function<void()>& work) {
    const pid_t pid = forkOrThrow();
    if (pid == 0) {
        work();
        ::_exit(0);
    }
    return ChildProcess(pid);
}

namespace {

// The descriptor of a file the child writes to from its start; standard input (/dev/null by
// then) when no file is named.
int outputTo(const std::string& file) {
    return file.empty() ? 0 : ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
}

}  // namespace

ChildProcess ChildProcess::start(const ProgramStart& program) {
    std::vector<char*> words;
    for (const auto& word : program.argv) {
        words.push_back(const_cast<char*>(word.c_str()));
    }
    words.push_back(nullptr);
    const pid_t pid = forkOrThrow();
    if (pid == 0) {
        const int output = outputTo(program.outputFile);
        const int errors = program.errorFile.empty() ? output : outputTo(program.errorFile);
        ::dup2(output, 1);
        ::dup2(errors, 2);
        for (const auto& setting : program.environment) {
            ::putenv(const_cast<char*>(setting.c_str()));
        }
        if (program.inChild) {
            program.inChild();
        }
        ::execvp(words[0], words.data());
        ::_exit(127);
    }
    return ChildProcess(pid);
}

ChildProcess ChildProcess::start(const std::vector<std::string>& argv,
                                 const std::vector<std::string>& environment,
                                 const std::string& outputFile) {
    return start({.argv = argv, .environment = environment, .outputFile = outputFile});
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_), end_(other.end_) {
    other.pid_ = 0;
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void ChildProcess::kill(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}

namespace {

ChildEnd endOf(int status) {
    ChildEnd end;
    end.exited = WIFEXITED(status);
    end.code = end.exited ? WEXITSTATUS(status) : 0;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

}  // namespace

ChildEnd ChildProcess::wait() {
    if (end_) {
        return *end_;
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error(std::string("waitpid failed: ") + std::strerror(errno));
        }
    }
    pid_ = 0;
    end_ = endOf(status);
    return *end_;
}

bool ChildProcess::hasEnded() {
    int status = 0;
    if (!end_ && pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        end_ = endOf(status);
    }
    return end_.has_value();
}

}  // namespace qm::test
