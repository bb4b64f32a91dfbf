#include "AdjustmentArgs.h"

#include <sstream>

namespace qm::cli {

store::CurrentProject projectArg(CliContext& context, const CliArgs& args) {
    return store::openProject(context.connection(), wholeNumberArg(args.positional(0, "ID"), "ID"));
}

void expectOneAction(const CliArgs& args, const std::vector<std::string>& valueOptions) {
    int actions = args.flag("list") ? 1 : 0;
    std::string names = "--list";
    for (const std::string& option : valueOptions) {
        actions += args.value(option) ? 1 : 0;
        names += "、--" + option;
    }
    if (actions > 1) {
        throw UsageError("一次只能用 " + names + " 中的一个");
    }
}

std::vector<int> wholeNumberList(const std::string& text, const std::string& what) {
    std::vector<int> numbers;
    std::istringstream words(text + ",");
    for (std::string word; std::getline(words, word, ',');) {
        numbers.push_back(wholeNumberArg(word, what));
    }
    return numbers;
}

}  // namespace qm::cli
