#include "FileBytes.h"

#include <filesystem>
#include <fstream>

#include "ReadLimits.h"
#include "Workbook.h"
#include "common/Platform.h"

namespace qm::intake {

std::string readFileBytes(const std::string& path) {
    const std::filesystem::path file = platform::pathFromUtf8(path);
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        throw unreadableFile(path, "文件不存在");
    }
    if (std::filesystem::is_directory(file, error)) {
        throw unreadableFile(path, "这是一个文件夹, 不是文件");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw unreadableFile(path, "文件无法打开 (没有读取权限或被占用)");
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size < 0) {
        throw unreadableFile(path, "读取文件时出错");
    }
    if (static_cast<std::size_t>(size) > ReadLimits::kFileBytes) {
        throw fileTooBig(path, "有 " + std::to_string(size >> 20) + " MB, 超过了 " +
                                   std::to_string(ReadLimits::kFileBytes >> 20) + " MB");
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), size);
    if (in.gcount() != size) {
        throw unreadableFile(path, "读取文件时出错");
    }
    return bytes;
}

}  // namespace qm::intake
