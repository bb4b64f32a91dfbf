#include "common/ProgramFiles.h"

#include <system_error>
#include <vector>

#include "common/Platform.h"

namespace fs = std::filesystem;

namespace qm {

fs::path installedDataFolder(const fs::path& programFolder) {
    return (programFolder / ".." / "share" / "quillmere").lexically_normal();
}

bool runsFromInstall(const fs::path& programFolder) {
    std::error_code error;
    return fs::is_directory(installedDataFolder(programFolder), error);
}

fs::path findProgramFile(const fs::path& relative, const fs::path& programFolder) {
    std::error_code error;
    const std::vector<fs::path> places = {programFolder,
                                          installedDataFolder(programFolder),
                                          fs::current_path(error),
                                          programFolder / "data",
                                          programFolder / ".." / "data",
                                          programFolder / ".." / ".." / "data",
                                          programFolder / ".." / ".." / ".." / "data"};
    for (const fs::path& place : places) {
        const fs::path candidate = place / relative;
        if (!place.empty() && fs::is_regular_file(candidate, error)) {
            return fs::absolute(candidate, error).lexically_normal();
        }
    }
    return {};
}

fs::path findProgramFile(const fs::path& relative) {
    return findProgramFile(relative, platform::executableFolder());
}

fs::path sampleWorkbookFile() {
    return platform::pathFromUtf8("导入excel文件样例/分班数据输入样例.xls");
}

fs::path findUserGuide(const fs::path& programFolder) {
    const fs::path html = platform::pathFromUtf8("用户手册.html");
    const std::vector<fs::path> candidates = {
        programFolder / ".." / "share" / "doc" / "quillmere" / html,
        programFolder / "doc" / html,  // the portable Windows folder
        programFolder / ".." / ".." / "docs" / html,
        programFolder / ".." / ".." / ".." / "docs" / platform::pathFromUtf8("用户手册.md")};
    std::error_code error;
    for (const fs::path& candidate : candidates) {
        if (fs::is_regular_file(candidate, error)) {
            return fs::absolute(candidate, error).lexically_normal();
        }
    }
    return {};
}

fs::path findUserGuide() {
    return findUserGuide(platform::executableFolder());
}

}  // namespace qm
