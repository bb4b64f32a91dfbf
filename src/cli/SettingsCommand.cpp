// Shows and changes a project's division settings.
#include <functional>
#include <ostream>

#include "CliCommand.h"
#include "common/NumberText.h"
#include "common/UserError.h"
#include "reports/StudentColumns.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"
#include "store/StudentTable.h"

namespace qm::cli {

namespace {

int flagValue(const std::string& text, const std::string& option) {
    const int value = wholeNumberArg(text, "--" + option);
    if (value != 0 && value != 1) {
        throw UsageError("--" + option + " 只能是 0 或 1");
    }
    return value;
}

std::string subjectName(int subject) {
    return std::string(reports::columnHeading(store::kScoreColumns[static_cast<std::size_t>(subject)]));
}

// "全部", "无" or the subjects by name, separated by commas: those that take part in 深度优化
// and the balance figures. Unknown names are refused, naming them.
int skippedSubjects(const std::string& text) {
    if (text == "全部") {
        return 0;
    }
    int skipped = (1 << store::kScoreColumns.size()) - 1;
    if (text == "无") {
        return skipped;
    }
    std::string list = text;
    for (std::size_t at = list.find("，"); at != std::string::npos; at = list.find("，")) {
        list.replace(at, std::string("，").size(), ",");
    }
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string name = trimmed(list.substr(start, end - start));
        int subject = 0;
        while (subject < static_cast<int>(store::kScoreColumns.size()) &&
               subjectName(subject) != name) {
            ++subject;
        }
        if (subject == static_cast<int>(store::kScoreColumns.size())) {
            throw UsageError("--subjects 里没有这个科目: \"" + name +
                             "\"（科目用中文名，以逗号分开，或写 全部、无）");
        }
        skipped &= ~(1 << subject);
        start = end + 1;
    }
    return skipped;
}

// The subjects that take part, by name in table order; "无" for none.
std::string takingPart(const store::DivisionSettings& settings) {
    std::string names;
    for (int s = 0; s < static_cast<int>(store::kScoreColumns.size()); ++s) {
        if (store::takesPart(settings, s)) {
            names += (names.empty() ? "" : ",") + subjectName(s);
        }
    }
    return names.empty() ? "无" : names;
}

void print(std::ostream& out, const store::DivisionSettings& s) {
    out << "id=" << s.id << "\n"
        << "is_avg_person=" << s.is_avg_person << "\n"
        << "is_avg_total=" << s.is_avg_total << "\n"
        << "is_avg_ch=" << s.is_avg_ch << "\n"
        << "is_avg_math=" << s.is_avg_math << "\n"
        << "is_avg_eng=" << s.is_avg_eng << "\n"
        << "is_avg_inter=" << s.is_avg_inter << "\n"
        << "inter=" << s.inter << "\n"
        << "is_man=" << s.is_man << "\n"
        << "wtNum=" << (s.wtNum ? std::to_string(*s.wtNum) : std::string()) << "\n"
        << "is_deep_opt=" << s.is_deep_opt << "\n"
        << "deep_opt_mode=" << s.deep_opt_mode << "\n"
        << "subjects=" << takingPart(s) << "\n";
}

int settingsCommand(CliContext& context, const std::vector<std::string>& words) {
    const std::vector<std::pair<std::string, int store::DivisionSettings::*>> flags = {
        {"is-avg-person", &store::DivisionSettings::is_avg_person},
        {"is-avg-total", &store::DivisionSettings::is_avg_total},
        {"is-avg-ch", &store::DivisionSettings::is_avg_ch},
        {"is-avg-math", &store::DivisionSettings::is_avg_math},
        {"is-avg-eng", &store::DivisionSettings::is_avg_eng},
        {"is-avg-inter", &store::DivisionSettings::is_avg_inter},
        {"is-man", &store::DivisionSettings::is_man},
        {"is-deep-opt", &store::DivisionSettings::is_deep_opt},
        {"deep-opt-mode", &store::DivisionSettings::deep_opt_mode}};
    std::set<std::string> valueOptions = {"inter", "wtnum", "subjects"};
    for (const auto& flag : flags) {
        valueOptions.insert(flag.first);
    }
    CliArgs args(words, valueOptions, {});
    args.expectPositionals(1);
    const int id = wholeNumberArg(args.positional(0, "ID"), "ID");
    store::findProject(context.connection(), id);

    // What the options set, checked before anything is read; every other value stays as it is
    // stored when the change is made.
    std::vector<std::function<void(store::DivisionSettings&)>> changes;
    for (const auto& [option, member] : flags) {
        if (auto text = args.value(option)) {
            changes.push_back([member, value = flagValue(*text, option)](auto& settings) {
                settings.*member = value;
            });
        }
    }
    if (auto text = args.value("inter")) {
        changes.push_back([value = wholeNumberArg(*text, "--inter")](auto& settings) {
            settings.inter = value;
        });
    }
    if (auto text = args.value("wtnum")) {
        changes.push_back([value = wholeNumberArg(*text, "--wtnum")](auto& settings) {
            settings.wtNum = value;
        });
    }
    if (auto text = args.value("subjects")) {
        changes.push_back([value = skippedSubjects(*text)](auto& settings) {
            settings.skip_subjects = value;
        });
    }
    store::DivisionSettings settings;
    if (!changes.empty()) {
        settings = store::changeSettings(context.connection(), id, [&](auto& stored) {
            for (const auto& change : changes) {
                change(stored);
            }
        });
    } else if (const auto loaded = store::loadSettings(context.connection(), id)) {
        settings = *loaded;
    } else {
        throw UserError("不存在该班别的参数设置");
    }
    print(context.out, settings);
    return 0;
}

const CommandRegistration registration(
    "settings",
    "ID [--is-avg-person 0|1] [--is-avg-total 0|1] [--is-avg-ch 0|1] [--is-avg-math 0|1] "
    "[--is-avg-eng 0|1] [--is-avg-inter 0|1] [--inter N] [--is-man 0|1] [--wtnum N] "
    "[--is-deep-opt 0|1] [--deep-opt-mode 0|1] [--subjects 语文,数学,...|全部|无]",
    "显示分班参数; 带选项时修改后再显示。--is-deep-opt 1: 分班后做深度优化; --deep-opt-mode: "
    "0 平均分优先, 1 分数段优先; --subjects: 参加深度优化和均衡度计算的科目（科目设置）",
    settingsCommand);

}  // namespace

}  // namespace qm::cli
