#pragma once

#include <cstddef>
#include <string>

#include "common/UserError.h"

namespace qm::intake {

// Limits far above any school's list of students. A file beyond them is refused early, before it
// can take minutes or gigabytes, with a message that starts with "文件太大".
struct ReadLimits {
    // Rows holding values in one sheet.
    static constexpr int kRows = 100000;
    // Cells holding values in one sheet: 100,000 rows of 30 columns.
    static constexpr std::size_t kCells = 3000000;
    // Characters in one cell: the most a spreadsheet program lets a cell hold.
    static constexpr std::size_t kCellCharacters = 32767;
    // Bytes of text a workbook may hold in all its strings together.
    static constexpr std::size_t kTextBytes = 128u << 20;
    // Bytes of one file, and of one part of an .xlsx package once unpacked.
    static constexpr std::size_t kFileBytes = 128u << 20;
    static constexpr std::size_t kPartBytes = 256u << 20;
    // Bytes of text in the preview: 100,000 students of 17 columns of about 40 bytes each.
    static constexpr std::size_t kPreviewTextBytes = 64u << 20;
};

// The refusal of a file beyond the limits, naming the file and the limit it passed.
inline UserError fileTooBig(const std::string& path, const std::string& what) {
    return UserError("文件太大: " + path + " " + what + ", 学生名单不会这么大, 请检查文件");
}

}  // namespace qm::intake
