#include "CliArgs.h"

#include "common/NumberText.h"

namespace qm::cli {

CliArgs::CliArgs(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                 const std::set<std::string>& flagOptions) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.starts_with("--")) {
            std::string name = word.substr(2);
            std::optional<std::string> inlineValue;
            if (auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name = name.substr(0, eq);
            }
            if (valueOptions.count(name)) {
                if (inlineValue) {
                    values_[name] = *inlineValue;
                } else if (i + 1 < words.size()) {
                    values_[name] = words[++i];
                } else {
                    throw UsageError("选项 --" + name + " 需要一个值");
                }
            } else if (flagOptions.count(name) && !inlineValue) {
                flags_.insert(name);
            } else {
                throw UsageError("未知的选项: " + word);
            }
        } else {
            positionals_.push_back(word);
        }
    }
}

const std::string& CliArgs::positional(std::size_t index, const std::string& what) const {
    if (index >= positionals_.size()) {
        throw UsageError("缺少参数: " + what);
    }
    return positionals_[index];
}

std::optional<std::string> CliArgs::value(const std::string& option) const {
    auto it = values_.find(option);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void CliArgs::expectPositionals(std::size_t count) const {
    if (positionals_.size() > count) {
        throw UsageError("多余的参数: " + positionals_[count]);
    }
}

int wholeNumberArg(const std::string& text, const std::string& what) {
    const auto value = parseWholeNumber(text);
    if (!value) {
        throw UsageError(what + " 必须是整数: \"" + text + "\"");
    }
    return *value;
}

}  // namespace qm::cli
