#include "engine/common/RunSettings.h"

#include "common/UserError.h"
#include "db/Connection.h"
#include "store/DivisionSettings.h"

namespace qm::engine {

RunSettings loadRunSettings(db::Connection& connection, const store::CurrentProject& project) {
    RunSettings run;
    const auto settings = store::loadSettings(connection, project.id());
    if (!settings) {
        return run;
    }
    if (!settings->wtNum) {
        throw UserError("分班参数中的微调次数没有值，请先在参数设置中填写");
    }
    run.avgTotal = settings->is_avg_total == 1;
    run.avgChinese = settings->is_avg_ch == 1;
    run.avgMath = settings->is_avg_math == 1;
    run.avgEnglish = settings->is_avg_eng == 1;
    run.avgBands = settings->is_avg_inter == 1;
    run.boysFirst = settings->is_man == 1;
    run.inter = settings->inter;
    run.tuningPasses = static_cast<long long>(*settings->wtNum) + 1;
    return run;
}

int projectClassCount(db::Connection& connection, const store::CurrentProject& project) {
    auto statement = connection.prepare("select num from fb_info where table_name=?");
    statement.bind(1, project.fbTable);
    const auto rows = statement.query();
    if (rows.empty()) {
        throw UserError("找不到分班项目: " + project.fbTable);
    }
    const auto& num = rows[0]["num"];
    if (num.isNull() || num.toInt() < 1) {
        throw UserError("该分班项目的班级数为0，无法分班；请先设置班级数");
    }
    return static_cast<int>(num.toInt());
}

}  // namespace qm::engine
