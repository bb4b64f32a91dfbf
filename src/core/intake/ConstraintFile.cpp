#include "intake/ConstraintFile.h"

#include <array>
#include <map>

#include "common/NumberText.h"
#include "common/UserError.h"
#include "intake/WorkbookFile.h"

namespace qm::intake {

namespace {

// The titles of the three columns of a file of groups.
constexpr const char* kGroupStudentTitle = "学号";
constexpr const char* kGroupNameTitle = "组";
constexpr const char* kGroupKindTitle = "方式";

constexpr std::array<const char*, 3> kTitles = {kGroupStudentTitle, kGroupNameTitle,
                                                kGroupKindTitle};

// The column of each title in row 1, in the order of kTitles.
std::array<int, 3> titleColumns(const intake::Workbook& workbook, int sheet,
                                const std::string& path) {
    std::array<int, 3> columns{};
    for (int column = 1; column <= workbook.lastUsedColumn(sheet, 1); ++column) {
        const std::string title = trimmed(workbook.cell(sheet, 1, column).text);
        for (std::size_t t = 0; t < kTitles.size(); ++t) {
            if (title == kTitles[t] && columns[t] == 0) {
                columns[t] = column;
            }
        }
    }
    for (std::size_t t = 0; t < kTitles.size(); ++t) {
        if (columns[t] == 0) {
            throw UserError("文件 " + path + " 的第 1 行缺少标题“" + kTitles[t] +
                            "”（应有 学号、组、方式 三列）");
        }
    }
    return columns;
}

}  // namespace

std::vector<store::NewGroup> readConstraintFile(const std::string& path) {
    const auto workbook = intake::openWorkbookFile(path);
    const int sheet = workbook->activeSheet();
    const auto columns = titleColumns(*workbook, sheet, path);
    std::vector<store::NewGroup> groups;
    std::map<std::string, std::pair<std::size_t, int>> groupOfName;  // group index, first row
    for (int row = 2; row <= workbook->lastRow(sheet); ++row) {
        std::array<std::string, 3> cells;
        for (std::size_t t = 0; t < cells.size(); ++t) {
            cells[t] = trimmed(workbook->cell(sheet, row, columns[t]).text);
        }
        if (cells[0].empty() && cells[1].empty() && cells[2].empty()) {
            continue;
        }
        const std::string where = "文件 " + path + " 第 " + std::to_string(row) + " 行";
        const auto student = parseWholeNumber(cells[0]);
        if (!student) {
            throw UserError(where + ": 学号“" + cells[0] + "”不是整数");
        }
        if (cells[1].empty()) {
            throw UserError(where + ": 没有填写组");
        }
        const auto kind = store::kindFromName(cells[2]);
        if (!kind) {
            throw UserError(where + ": 方式“" + cells[2] + "”应为 分开 或 同班");
        }
        auto [known, added] = groupOfName.try_emplace(cells[1], groups.size(), row);
        if (added) {
            groups.push_back({*kind, {}, cells[1]});
        }
        store::NewGroup& group = groups[known->second.first];
        if (group.kind != *kind) {
            throw UserError(where + ": 组“" + cells[1] + "”在第 " +
                            std::to_string(known->second.second) + " 行是" +
                            std::string(store::kindName(group.kind)) + "，这里却是" +
                            std::string(store::kindName(*kind)));
        }
        group.members.push_back(*student);
    }
    if (groups.empty()) {
        throw UserError("文件 " + path + " 中没有约束");
    }
    return groups;
}

std::vector<int> addGroupsFromFile(db::Connection& connection, const store::CurrentProject& project,
                                   const std::string& path) {
    return store::addGroups(connection, project, readConstraintFile(path));
}

}  // namespace qm::intake
