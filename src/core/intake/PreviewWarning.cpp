#include "PreviewWarning.h"

#include <vector>

#include "PreviewReader.h"
#include "common/NumberText.h"
#include "common/Utf8.h"

namespace qm::intake {

namespace {

constexpr std::size_t kNameColumn = 3;
constexpr std::size_t kSexColumn = 4;
constexpr std::size_t kShownDifferences = 4;
constexpr std::size_t kShownRows = 5;

std::string quoted(const std::string& text) {
    return "“" + text + "”";
}

std::string titleDifferences(const PreviewGrid& grid) {
    std::vector<std::string> differences;
    for (std::size_t c = 0; c < kImportTitles.size(); ++c) {
        const std::string found = withoutBlanks(grid.titles[c]);
        if (found.find(kImportTitles[c]) != std::string::npos) {
            continue;
        }
        const std::string column = columnName(static_cast<int>(c) + 1) + "列";
        differences.push_back(column + (found.empty() ? "是空的" : "是" + quoted(grid.titles[c])) +
                              ", 应为" + quoted(kImportTitles[c]));
    }
    if (differences.empty()) {
        return {};
    }
    std::string text = "第1行不是导入表格的列名 (学号, 登分号, 姓名, 性别, …): ";
    for (std::size_t i = 0; i < differences.size() && i < kShownDifferences; ++i) {
        text += (i ? "; " : "") + differences[i];
    }
    if (differences.size() > kShownDifferences) {
        text += "; …共 " + std::to_string(differences.size()) + " 列不符";
    }
    return text;
}

// "3 名学生没有姓名 (第3、5、9行)": the count and the first rows of the file.
std::string rowsWith(const std::vector<int>& rows, const std::string& what) {
    if (rows.empty()) {
        return {};
    }
    std::string text = std::to_string(rows.size()) + " 名学生" + what + " (第";
    for (std::size_t i = 0; i < rows.size() && i < kShownRows; ++i) {
        text += (i ? "、" : "") + std::to_string(rows[i]);
    }
    return text + (rows.size() > kShownRows ? "…行)" : "行)");
}

// "第1502行是空行，后面还有 1500 行有数据，没有读入": students the reading left out, since it
// stops at the first empty 学号.
std::string rowsNotRead(const PreviewGrid& grid) {
    const std::string stop = "第" + std::to_string(grid.stopRow()) + "行";
    const std::string below = std::to_string(grid.filledRowsBelow);
    if (grid.stopRowFilled) {
        return stop + "的学号是空的，" +
               (grid.filledRowsBelow == 0 ? "这一行" : "这一行和后面 " + below + " 行") +
               "有数据，没有读入";
    }
    if (grid.filledRowsBelow > 0) {
        return stop + "是空行，后面还有 " + below + " 行有数据，没有读入";
    }
    return {};
}

}  // namespace

std::string previewWarning(const PreviewGrid& grid) {
    std::vector<std::string> parts;
    parts.push_back(titleDifferences(grid));
    if (grid.studentCount() == 0) {
        parts.push_back("没有读到学生 (第2行的学号是空的)");
    }
    parts.push_back(rowsNotRead(grid));
    std::vector<int> noName;
    std::vector<int> noSex;
    std::vector<int> otherSex;
    for (int k = 0; k < grid.studentCount(); ++k) {
        const auto& row = grid.rows[static_cast<std::size_t>(k)];
        const int fileRow = k + 2;  // grid row k + 1 holds spreadsheet row k + 2
        // Trimmed as the import stores it: a sex the division would not take is warned of.
        const std::string sex = trimmed(row[kSexColumn]);
        if (withoutBlanks(row[kNameColumn]).empty()) {
            noName.push_back(fileRow);
        }
        if (sex.empty()) {
            noSex.push_back(fileRow);
        } else if (sex != "男" && sex != "女") {
            otherSex.push_back(fileRow);
        }
    }
    parts.push_back(rowsWith(noName, "没有姓名"));
    parts.push_back(rowsWith(noSex, "没有性别"));
    parts.push_back(rowsWith(otherSex, "的性别不是“男”或“女”, 分班时不会被分配"));
    std::string warning;
    for (const auto& part : parts) {
        if (!part.empty()) {
            warning += (warning.empty() ? "" : "\n") + part;
        }
    }
    return warning;
}

}  // namespace qm::intake
