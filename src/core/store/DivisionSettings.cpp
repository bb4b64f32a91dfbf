#include "store/DivisionSettings.h"

#include "common/InterleavingPause.h"
#include "common/UserError.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "store/Limits.h"

namespace qm::store {

namespace {

// One bit per score column: what skip_subjects can hold.
constexpr int kAllSubjectBits = (1 << 9) - 1;

}  // namespace

DivisionSettings DivisionSettings::defaults(int projectId) {
    DivisionSettings settings;
    settings.id = projectId;
    return settings;
}

std::optional<DivisionSettings> loadSettings(db::Connection& connection, int projectId) {
    auto statement = connection.prepare("select * from config where id=?");
    statement.bind(1, projectId);
    const auto rows = statement.query();
    if (rows.empty()) {
        return std::nullopt;
    }
    const auto row = rows[0];
    // A flag is on exactly when it holds 1; a NULL counts as off.
    auto flag = [&](const char* name) {
        const auto& value = row[name];
        return (!value.isNull() && value.toInt() == 1) ? 1 : 0;
    };
    auto number = [&](const char* name) {
        const auto& value = row[name];
        return value.isNull() ? 0 : static_cast<int>(value.toInt());
    };
    DivisionSettings settings;
    settings.id = projectId;
    settings.is_avg_person = flag("is_avg_person");
    settings.is_avg_total = flag("is_avg_total");
    settings.is_avg_ch = flag("is_avg_ch");
    settings.is_avg_math = flag("is_avg_math");
    settings.is_avg_eng = flag("is_avg_eng");
    settings.is_avg_inter = flag("is_avg_inter");
    settings.inter = number("inter");
    settings.is_man = number("is_man");
    const auto& wtNum = row["wtNum"];
    settings.wtNum = wtNum.isNull() ? std::nullopt : std::optional<int>(wtNum.toInt());
    settings.is_deep_opt = flag("is_deep_opt");
    settings.deep_opt_mode = flag("deep_opt_mode");
    settings.skip_subjects = number("skip_subjects") & kAllSubjectBits;
    return settings;
}

namespace {

void checkWithin(int value, int lowest, int highest, const char* name) {
    if (value < lowest || value > highest) {
        throw UserError(std::string(name) + "必须是" + std::to_string(lowest) + "到" +
                        std::to_string(highest) + "之间的整数: " + std::to_string(value));
    }
}

}  // namespace

void checkSettingsBounds(const DivisionSettings& settings) {
    checkWithin(settings.inter, kMinBandTolerance, kMaxBandTolerance, "分数间隔权重(inter)");
    if (settings.wtNum) {
        checkWithin(*settings.wtNum, kMinTuningCount, kMaxTuningCount, "微调次数(wtNum)");
    }
}

void saveSettings(db::Connection& connection, const DivisionSettings& s) {
    auto statement = connection.prepare(
        "update config set is_avg_person=?,is_avg_total=?,is_avg_ch=?,is_avg_math=?,"
        "is_avg_eng=?,is_avg_inter=?,inter=?,is_man=?,wtNum=?,is_deep_opt=?,deep_opt_mode=?,"
        "skip_subjects=? where id=?");
    statement.bind(1, s.is_avg_person)
        .bind(2, s.is_avg_total)
        .bind(3, s.is_avg_ch)
        .bind(4, s.is_avg_math)
        .bind(5, s.is_avg_eng)
        .bind(6, s.is_avg_inter)
        .bind(7, s.inter)
        .bind(8, s.is_man)
        .bind(9, s.wtNum ? db::Value(*s.wtNum) : db::Value())
        .bind(10, s.is_deep_opt)
        .bind(11, s.deep_opt_mode)
        .bind(12, s.skip_subjects & kAllSubjectBits)
        .bind(13, s.id);
    if (statement.execute() == 0) {
        throw UserError("不存在该班别的参数设置");
    }
}

DivisionSettings changeSettings(db::Connection& connection, int projectId,
                                const std::function<void(DivisionSettings&)>& change) {
    db::Transaction transaction(connection);
    auto settings = loadSettings(connection, projectId);
    if (!settings) {
        throw UserError("不存在该班别的参数设置");
    }
    pauseAfterReading();
    change(*settings);
    checkSettingsBounds(*settings);
    saveSettings(connection, *settings);
    transaction.commit();
    return *settings;
}

std::optional<DivisionSettings> saveSettingsUnlessChanged(db::Connection& connection,
                                                          const DivisionSettings& shown,
                                                          const DivisionSettings& settings) {
    checkSettingsBounds(settings);
    db::Transaction transaction(connection);
    const auto stored = loadSettings(connection, settings.id);
    if (stored && !(*stored == shown)) {
        return stored;
    }
    pauseAfterReading();
    saveSettings(connection, settings);
    transaction.commit();
    return std::nullopt;
}

void insertDefaultSettings(db::Connection& connection, int projectId) {
    // The values of the original row in its column order, then 深度优化 off, every subject taking
    // part and no run of 深度优化 yet.
    auto statement = connection.prepare(
        "insert into config(id,is_avg_person,is_avg_total,is_avg_ch,is_avg_math,is_avg_eng,"
        "is_avg_inter,inter,is_man,wtNum,is_deep_opt,deep_opt_mode,skip_subjects,deep_opt_runs) "
        "values(?,1,1,1,1,1,1,1,0,50,0,0,0,0)");
    statement.bind(1, projectId);
    statement.execute();
}

}  // namespace qm::store
