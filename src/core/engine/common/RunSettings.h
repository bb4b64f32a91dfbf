#pragma once

#include <array>

#include "store/ProjectStore.h"

namespace qm::db {
class Connection;
}

namespace qm::engine {

// The settings a division run works with, read from the project's settings row. A project
// without a row runs with every balance rule off, boys not first, tolerance 0 and one
// fine-tuning pass.
struct RunSettings {
    bool avgTotal = false;    // class averages of the total move toward the cohort's
    bool avgChinese = false;  // ... of Chinese, mathematics and English take part in the
    bool avgMath = false;     //     subject balance (the other six always do)
    bool avgEnglish = false;
    bool avgBands = false;       // band head counts must not get worse
    bool boysFirst = false;      // boys are placed before girls (the setting is_man is 1)
    int inter = 0;               // band tolerance
    long long tuningPasses = 1;  // per sex and pass: wtNum + 1; none when negative
    bool isRefb = false;         // re-division: every exchange must suit both classes
};

// The sexes in the order a pass places them.
inline std::array<const char*, 2> sexOrder(const RunSettings& settings) {
    return {settings.boysFirst ? "男" : "女", settings.boysFirst ? "女" : "男"};
}

// Reads the project's settings row. A row whose fine-tuning count is missing is refused with a
// UserError, before anything changes.
RunSettings loadRunSettings(db::Connection& connection, const store::CurrentProject& project);

// The number of classes of the project whose student table is project.fbTable. A project that
// cannot be found or has no classes is refused with a UserError.
int projectClassCount(db::Connection& connection, const store::CurrentProject& project);

}  // namespace qm::engine
