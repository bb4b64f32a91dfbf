#include "store/DatabaseLocation.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/UserError.h"

namespace fs = std::filesystem;

namespace qm::store {

namespace {

bool writableFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string executableFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return fs::current_path().string();
    }
    return self.parent_path().string();
}

std::string resolveDatabasePath(const std::string& explicitPath) {
    std::string chosen = explicitPath;
    if (chosen.empty()) {
        if (const char* env = std::getenv("QUILLMERE_DB"); env != nullptr && *env != '\0') {
            chosen = env;
        }
    }
    if (!chosen.empty()) {
        const fs::path parent = fs::absolute(chosen).parent_path();
        if (!writableFolder(parent)) {
            throw UserError("无法使用数据库文件所在的文件夹: " + parent.string());
        }
        return chosen;
    }
    const fs::path portable = fs::path(executableFolder()) / "dbase";
    if (writableFolder(portable)) {
        return (portable / "fb.db").string();
    }
    fs::path dataHome;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        dataHome = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        dataHome = fs::path(home) / ".local" / "share";
    } else {
        throw UserError("找不到存放数据库文件的文件夹：请用 --db 指定数据库文件");
    }
    const fs::path folder = dataHome / "quillmere";
    if (!writableFolder(folder)) {
        throw UserError("无法使用数据库文件所在的文件夹: " + folder.string());
    }
    return (folder / "fb.db").string();
}

}  // namespace qm::store
