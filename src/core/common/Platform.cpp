#include "common/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <fstream>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace qm::platform {

std::filesystem::path pathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string pathToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool isDiskFull(int systemError) {
#ifdef _WIN32
    return systemError == ERROR_DISK_FULL || systemError == ERROR_HANDLE_DISK_FULL ||
           systemError == ENOSPC;
#else
    return systemError == ENOSPC || systemError == EDQUOT;
#endif
}

#ifdef _WIN32

std::optional<std::string> environmentVariable(const char* name) {
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr || *value == L'\0') {
        return std::nullopt;
    }
    return pathToUtf8(fs::path(value));
}

std::filesystem::path executableFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return fs::current_path();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return fs::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
    }
    std::vector<std::string> words;
    for (int k = 1; k < count; ++k) {
        words.push_back(pathToUtf8(fs::path(wide[k])));
    }
    LocalFree(wide);
    return words;
}

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// Access rights on Windows live in access control lists that no simple call reports: trying to
// create a file is the one sure test.
bool canWriteInFolder(const std::filesystem::path& folder) {
    const fs::path probe = folder / L".quillmere-write-test";
    {
        std::ofstream file(probe);
        if (!file) {
            return false;
        }
    }
    std::error_code error;
    fs::remove(probe, error);
    return true;
}

std::filesystem::path userDataFolder() {
    if (const auto appData = environmentVariable("APPDATA")) {
        return pathFromUtf8(*appData);
    }
    return {};
}

#else

std::optional<std::string> environmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

void useUtf8Console() {}

std::filesystem::path executableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return fs::current_path();
    }
    return self.parent_path();
}

bool canWriteInFolder(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

std::filesystem::path userDataFolder() {
    if (const auto dataHome = environmentVariable("XDG_DATA_HOME")) {
        return pathFromUtf8(*dataHome);
    }
    if (const auto home = environmentVariable("HOME")) {
        return pathFromUtf8(*home) / ".local" / "share";
    }
    return {};
}

#endif

}  // namespace qm::platform
