#pragma once

#include <functional>
#include <optional>

namespace qm::db {
class Connection;
}

namespace qm::store {

// A project's row of config: which balancing rules a division applies, the band tolerance and
// how often it fine-tunes, and whether a division ends with 深度优化. The flags hold 1 for yes
// and 0 for no.
struct DivisionSettings {
    int id = 0;
    int is_avg_person = 1;          // boys and girls spread evenly (always done; stored only)
    int is_avg_total = 1;           // even class averages of the total score
    int is_avg_ch = 1;              // ... of Chinese
    int is_avg_math = 1;            // ... of mathematics
    int is_avg_eng = 1;             // ... of English
    int is_avg_inter = 1;           // even head counts per ten-point score band
    int inter = 1;                  // band tolerance
    int is_man = 0;                 // 1: boys are placed before girls
    std::optional<int> wtNum = 50;  // fine-tuning count; NULL reads as no value
    int is_deep_opt = 0;            // 1: a division ends with 深度优化
    int deep_opt_mode = 0;  // strength of 深度优化: 0 平均分优先, 1 分数段优先
    // The subjects 科目设置 leaves unticked: bit s for the s-th score column in table order (math
    // first). They take no part in 深度优化 and the balance figures; the division uses all nine.
    int skip_subjects = 0;

    // The row a new project gets.
    static DivisionSettings defaults(int projectId);
    bool operator==(const DivisionSettings&) const = default;
};

// Whether the subject of the s-th score column (table order, 0 to 8) takes part in 深度优化 and
// the balance figures.
inline bool takesPart(const DivisionSettings& settings, int subject) {
    return ((settings.skip_subjects >> subject) & 1) == 0;
}

// Reads the row of a project; nothing when the project has no row.
std::optional<DivisionSettings> loadSettings(db::Connection& connection, int projectId);

// Refuses, with a UserError naming the setting, a band tolerance outside kMinBandTolerance to
// kMaxBandTolerance (1 to 1000) or a fine-tuning count outside kMinTuningCount to kMaxTuningCount
// (0 to 1000). The fronts check what the user typed with it before they save; saveSettings
// itself stores any row, as older databases may hold one.
void checkSettingsBounds(const DivisionSettings& settings);

// Stores all values of the row. A project without a row is refused with
// "不存在该班别的参数设置" and nothing is stored.
void saveSettings(db::Connection& connection, const DivisionSettings& settings);

// Changes the project's row under the write lock: reads it as it is, lets `change` set the values
// it sets, checks the bounds (checkSettingsBounds) and stores it, so that a value another program
// stored a moment before is kept unless `change` sets that one. Returns the row as stored. A
// project without a row is refused with "不存在该班别的参数设置" and nothing is stored.
DivisionSettings changeSettings(db::Connection& connection, int projectId,
                                const std::function<void(DivisionSettings&)>& change);

// Stores `settings` (a window's values) only when the stored row is still `shown`, the row the
// window showed: returns nothing when it stored them, or the row as another program stored it
// meanwhile, which then stays as it is. Checks the bounds as saveSettings' callers do.
std::optional<DivisionSettings> saveSettingsUnlessChanged(db::Connection& connection,
                                                          const DivisionSettings& shown,
                                                          const DivisionSettings& settings);

// Inserts a new project's row with the defaults.
void insertDefaultSettings(db::Connection& connection, int projectId);

}  // namespace qm::store
