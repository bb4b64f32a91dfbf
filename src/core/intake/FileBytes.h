#pragma once

#include <string>

namespace qm::intake {

// The whole content of a file to be read as a workbook. Throws UserError naming the file when it
// is missing, a folder, unreadable, or larger than the readers take ("文件太大"); an empty file
// gives empty bytes.
std::string readFileBytes(const std::string& path);

}  // namespace qm::intake
