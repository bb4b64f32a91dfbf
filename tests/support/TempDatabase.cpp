#include "support/TempDatabase.h"

#ifdef _WIN32
#include <windows.h>

#include <random>
#else
#include <unistd.h>

#include "support/ChildProcess.h"
#endif

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/Platform.h"
#include "store/Schema.h"

namespace qm::test {

#ifdef _WIN32
TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("quillmere-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}
#else
TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quillmere-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}
#endif

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
    std::ifstream in(platform::pathFromUtf8(path), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

#ifdef _WIN32
// One word of a Windows command line, quoted as CommandLineToArgvW reads it back.
std::wstring quoted(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\"") == std::wstring::npos) {
        return word;
    }
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

HANDLE inheritableFile(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(platform::pathFromUtf8(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif
}  // namespace

ProgramResult runCli(const std::vector<std::string>& words, const std::function<void()>& inChild) {
    std::vector<std::string> command = {cliProgram()};
    command.insert(command.end(), words.begin(), words.end());
    return runProgram(command, inChild);
}

#ifdef _WIN32
// Windows starts a program from one command line; a resource limit (inChild) has no place there.
ProgramResult runProgram(std::vector<std::string> argvStrings, const std::function<void()>&) {
    TempFolder outputs;
    const std::string outPath = outputs.file("out");
    const std::string errPath = outputs.file("err");
    std::wstring commandLine;
    for (const std::string& word : argvStrings) {
        commandLine +=
            (commandLine.empty() ? L"" : L" ") + quoted(platform::pathFromUtf8(word).wstring());
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = inheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = inheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdInput = inheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    PROCESS_INFORMATION process{};
    ProgramResult result;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {startup.hStdOutput, startup.hStdError, startup.hStdInput}) {
        CloseHandle(handle);
    }
    result.out = readAll(outPath);
    result.err = readAll(errPath);
    return result;
}
#else
ProgramResult runProgram(std::vector<std::string> argv, const std::function<void()>& inChild) {
    TempFolder outputs;
    const std::string outPath = outputs.file("out");
    const std::string errPath = outputs.file("err");
    const ChildEnd end = ChildProcess::start({.argv = std::move(argv),
                                              .environment = {},
                                              .outputFile = outPath,
                                              .errorFile = errPath,
                                              .inChild = inChild})
                             .wait();
    ProgramResult result;
    result.status = end.exited ? end.code : -1;
    result.out = readAll(outPath);
    result.err = readAll(errPath);
    return result;
}
#endif

namespace {
std::string fileIn(const char* folder, const std::string& name) {
    return platform::pathToUtf8(platform::pathFromUtf8(folder) / platform::pathFromUtf8(name));
}
}  // namespace

std::string testData(const std::string& name) {
    return fileIn(QUILLMERE_TEST_DATA, name);
}

std::string sampleFile(const std::string& name) {
    return fileIn(QUILLMERE_SAMPLE_DIR, name);
}

std::string cliProgram() {
    return QUILLMERE_CLI;
}

}  // namespace qm::test
