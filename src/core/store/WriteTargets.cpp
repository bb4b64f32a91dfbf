#include "store/WriteTargets.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "common/Platform.h"

namespace fs = std::filesystem;

namespace qm::store {

namespace {

using platform::pathFromUtf8;
using platform::pathToUtf8;

// The files SQLite keeps beside a database file, after the file itself.
const char* const kCompanionSuffixes[] = {"", "-wal", "-shm", "-journal"};

fs::path absoluteOf(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

// The path with every link of its folders, and of itself when it exists, followed.
fs::path resolved(const fs::path& path) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(absoluteOf(path), error);
    return error ? absoluteOf(path) : canonical;
}

// The names under which a target may reach a file: as written, resolved, and through a link
// whose own target does not exist yet (writing through it would create that file).
std::vector<fs::path> namesOf(const fs::path& path) {
    std::vector<fs::path> names = {absoluteOf(path), resolved(path)};
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path linked = fs::read_symlink(path, error);
        if (!error) {
            names.push_back(resolved(linked.is_absolute() ? linked
                                                          : absoluteOf(path).parent_path() /
                                                                linked));
        }
    }
    return names;
}

bool sameFile(const fs::path& target, const fs::path& part) {
    for (const fs::path& name : namesOf(target)) {
        if (name == absoluteOf(part) || name == resolved(part)) {
            return true;
        }
    }
    // An existing file under another name: a hard link, or a spelling the names above miss.
    std::error_code error;
    return fs::equivalent(target, part, error) && !error;
}

}  // namespace

std::optional<std::string> databasePartAt(const std::string& databasePath,
                                          const std::string& path) {
    if (databasePath.empty() || path.empty()) {
        return std::nullopt;
    }
    const fs::path target = pathFromUtf8(path);
    const fs::path database = pathFromUtf8(databasePath);
    // SQLite keeps the companions beside the file a link leads to; they are looked for beside
    // the name given too.
    for (const fs::path& base : {absoluteOf(database), resolved(database)}) {
        for (const char* suffix : kCompanionSuffixes) {
            fs::path part = base;
            part += suffix;
            if (sameFile(target, part)) {
                return pathToUtf8(part);
            }
        }
    }
    return std::nullopt;
}

void refuseDatabaseFile(const std::string& databasePath, const std::string& path) {
    const auto part = databasePartAt(databasePath, path);
    if (!part) {
        return;
    }
    const bool itself = resolved(pathFromUtf8(*part)) == resolved(pathFromUtf8(databasePath));
    throw UserError("不能写入 " + path + "：它就是正在使用的数据库" +
                    (itself ? "文件 " : "的附属文件 ") + *part +
                    "，写入会毁掉全部分班数据。请另选一个文件。");
}

void refuseUnwritablePlace(const std::string& path) {
    const fs::path target = absoluteOf(pathFromUtf8(path));
    std::error_code lookup;
    if (!fs::is_directory(target.parent_path(), lookup)) {
        throw UserError("无法写入 " + path + ": 文件夹 " + pathToUtf8(target.parent_path()) +
                        " 不存在");
    }
    if (fs::is_directory(target, lookup)) {
        throw UserError("无法写入 " + path + ": 这是一个文件夹");
    }
}

bool somethingAt(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(pathFromUtf8(path), error));
}

}  // namespace qm::store
