// Shows and changes a project's division settings.
#include <functional>
#include <ostream>

#include "CliCommand.h"
#include "common/UserError.h"
#include "store/DivisionSettings.h"
#include "store/ProjectStore.h"

namespace qm::cli {

namespace {

int flagValue(const std::string& text, const std::string& option) {
    const int value = wholeNumberArg(text, "--" + option);
    if (value != 0 && value != 1) {
        throw UsageError("--" + option + " 只能是 0 或 1");
    }
    return value;
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
        << "deep_opt_mode=" << s.deep_opt_mode << "\n";
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
    std::set<std::string> valueOptions = {"inter", "wtnum"};
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
    "[--is-deep-opt 0|1] [--deep-opt-mode 0|1]",
    "显示分班参数; 带选项时修改后再显示。--is-deep-opt 1: 分班后做深度优化; --deep-opt-mode: "
    "0 平均分优先, 1 分数段优先",
    settingsCommand);

}  // namespace

}  // namespace qm::cli
