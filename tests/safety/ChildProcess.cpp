#include "ChildProcess.h"

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

ChildProcess ChildProcess::start(const std::vector<std::string>& argv) {
    std::vector<char*> words;
    for (const auto& word : argv) {
        words.push_back(const_cast<char*>(word.c_str()));
    }
    words.push_back(nullptr);
    const pid_t pid = forkOrThrow();
    if (pid == 0) {
        ::dup2(0, 1);
        ::dup2(0, 2);
        ::execv(words[0], words.data());
        ::_exit(127);
    }
    return ChildProcess(pid);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(other.pid_) {
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

ChildEnd ChildProcess::wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error(std::string("waitpid failed: ") + std::strerror(errno));
        }
    }
    pid_ = 0;
    ChildEnd end;
    end.exited = WIFEXITED(status);
    end.code = end.exited ? WEXITSTATUS(status) : 0;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end;
}

}  // namespace qm::test
