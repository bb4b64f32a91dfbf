#include "store/DatabaseLocation.h"

#include <filesystem>
#include <system_error>

#include "common/Platform.h"
#include "common/ProgramFiles.h"
#include "common/UserError.h"

namespace fs = std::filesystem;

namespace qm::store {

namespace {

bool writableFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) && platform::canWriteInFolder(folder);
}

std::string unusableFolder(const fs::path& folder) {
    return "无法使用数据库文件所在的文件夹: " + platform::pathToUtf8(folder);
}

}  // namespace

std::string resolveDatabasePath(const std::string& explicitPath) {
    std::string chosen = explicitPath;
    if (chosen.empty()) {
        chosen = platform::environmentVariable("QUILLMERE_DB").value_or("");
    }
    if (!chosen.empty()) {
        const fs::path parent = fs::absolute(platform::pathFromUtf8(chosen)).parent_path();
        if (!writableFolder(parent)) {
            throw UserError(unusableFolder(parent));
        }
        return chosen;
    }
    // An install under a prefix never keeps data beside its executable, not even when run by a
    // user who may write there (root under /usr, anyone under ~/.local).
    const fs::path programFolder = platform::executableFolder();
    const fs::path portable = programFolder / "dbase";
    if (!runsFromInstall(programFolder) && writableFolder(portable)) {
        return platform::pathToUtf8(portable / "fb.db");
    }
    const fs::path dataHome = platform::userDataFolder();
    if (dataHome.empty()) {
        throw UserError("找不到存放数据库文件的文件夹：请用 --db 指定数据库文件");
    }
    const fs::path folder = dataHome / "quillmere";
    if (!writableFolder(folder)) {
        throw UserError(unusableFolder(folder));
    }
    return platform::pathToUtf8(folder / "fb.db");
}

}  // namespace qm::store
