#include "engine/division/CohortFigures.h"

#include "common/NumberText.h"
#include "db/Connection.h"
#include "store/StudentTable.h"

namespace qm::engine {

std::optional<CohortFigures> loadCohortFigures(db::Connection& connection, const std::string& table,
                                               int classCount) {
    const std::string& name = store::checkedTableName(table);
    const std::string placed = " where type>=" + store::placeCode(store::kPlaced);
    const auto averages = connection.query(
        "select avg(math) as avg_math,avg(english) as avg_english,avg(chinese) as "
        "avg_chinese,avg(wuli) as avg_wuli,avg(zhengzhi) as avg_zhengzhi,avg(lishi) as "
        "avg_lishi,avg(tiyu) as avg_tiyu,avg(dili) as avg_dili,avg(shengwu) as avg_shengwu,"
        "avg(math+english+chinese+wuli+zhengzhi+lishi+tiyu+dili+shengwu) as avg_total from " +
        name + placed);
    if (averages.size() != 1 || averages[0]["avg_math"].isNull()) {
        return std::nullopt;
    }
    CohortFigures figures;
    for (int q = 0; q < kQuantityCount; ++q) {
        const auto& value = averages.at(0, static_cast<std::size_t>(q));
        figures.averages[q] = static_cast<int>(roundHalfEven(value.toDouble()));
    }
    for (int s = 0; s < kSubjectCount; ++s) {
        const std::string column(store::kScoreColumns[s]);
        auto statement = connection.prepare(
            "select cint(fdiv(count(*),?)) as s_num,score_band(" + column + ") as s_index from " +
            name + placed + " group by score_band(" + column + ") order by s_index");
        statement.bind(1, classCount);
        for (const auto row : statement.query()) {
            if (!row["s_index"].isNull()) {
                figures.targets.set(static_cast<Subject>(s), row["s_index"].toInt(),
                                    static_cast<int>(row["s_num"].toInt()));
            }
        }
    }
    return figures;
}

}  // namespace qm::engine
