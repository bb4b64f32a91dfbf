#include "reports/ResultGrid.h"

#include "common/NumberText.h"
#include "db/Connection.h"
#include "store/GroupCheck.h"
#include "store/StudentTable.h"

namespace qm::reports {

namespace {

std::string scoreText(const db::Value& value) {
    return value.isNull() ? std::string() : numberText(value.toDouble());
}

}  // namespace

std::vector<ResultGridRow> resultGridRows(db::Connection& connection, const std::string& table) {
    const auto rows = connection.query("select * from " + store::checkedTableName(table) +
                                       " order by class_id, student_id");
    std::vector<ResultGridRow> grid;
    grid.reserve(rows.size());
    for (const auto row : rows) {
        ResultGridRow cells;
        cells[0] = std::to_string(grid.size() + 1);
        cells[1] = row["student_id"].toText();
        cells[2] = row["rec_id"].toText();
        cells[3] = row["student_name"].toText();
        cells[4] = row["sex"].toText();
        bool totalKnown = true;
        double total = 0;
        for (std::size_t s = 0; s < store::kScoreColumns.size(); ++s) {
            const auto& score = row[store::kScoreColumns[s]];
            cells[5 + s] = scoreText(score);
            if (score.isNull()) {
                totalKnown = false;
            } else {
                total += score.toDouble();
            }
        }
        cells[14] = totalKnown ? numberText(total) : std::string();
        cells[15] = row["oral_school"].toText();
        cells[16] = row["addr"].toText();
        const auto& classId = row["class_id"];
        cells[17] =
            classId.isNull() ? std::string() : store::classTitle(store::classNumber(classId));
        grid.push_back(std::move(cells));
    }
    return grid;
}

}  // namespace qm::reports
