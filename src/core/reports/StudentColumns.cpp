#include "reports/StudentColumns.h"

#include <utility>

#include "db/ResultSet.h"
#include "intake/PreviewGrid.h"
#include "store/StudentTable.h"

namespace qm::reports {

std::string_view columnHeading(std::string_view column) {
    for (std::size_t i = 0; i < intake::kImportFields.size(); ++i) {
        if (intake::kImportFields[i] == column) {
            return intake::kImportTitles[i];
        }
    }
    static constexpr std::pair<std::string_view, std::string_view> kOwnHeadings[] = {
        {"class_id", "班级"}, {"type", "类型"}, {"pingyin", "拼音"}};
    for (const auto& [name, heading] : kOwnHeadings) {
        if (name == column) {
            return heading;
        }
    }
    return column;
}

double scoreTotal(const db::Row& student) {
    double total = 0.0;
    for (auto subject : store::kScoreColumns) {
        const auto& score = student[subject];
        total += score.isNull() ? 0.0 : score.toDouble();
    }
    return total;
}

}  // namespace qm::reports
