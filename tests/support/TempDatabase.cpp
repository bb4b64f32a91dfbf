#include "support/TempDatabase.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "store/Schema.h"

namespace qm::test {

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillmere-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

TempDatabase::TempDatabase() : path_(folder_.file("fb.db")) {
    reopen();
}

void TempDatabase::reopen() {
    connection_.reset();
    connection_ = std::make_unique<db::Connection>(path_);
    store::ensureSchema(*connection_);
}

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}
}  // namespace

ProgramResult runCli(const std::vector<std::string>& words, const std::function<void()>& inChild) {
    std::vector<std::string> command = {QUILLMERE_CLI};
    command.insert(command.end(), words.begin(), words.end());
    return runProgram(command, inChild);
}

ProgramResult runProgram(std::vector<std::string> argvStrings, const std::function<void()>& inChild) {
    TempFolder outputs;
    const std::string outPath = outputs.file("out");
    const std::string errPath = outputs.file("err");
    std::vector<char*> argv;
    for (auto& word : argvStrings) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::dup2(in, 0);
        if (inChild) {
            inChild();
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProgramResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readAll(outPath);
    result.err = readAll(errPath);
    return result;
}

std::string testData(const std::string& name) {
    return (std::filesystem::path(QUILLMERE_TEST_DATA) / name).string();
}

}  // namespace qm::test
