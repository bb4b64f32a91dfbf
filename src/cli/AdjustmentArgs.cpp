#include "AdjustmentArgs.h"

#include <sstream>

namespace qm::cli {

store::CurrentProject projectArg(CliContext& context, const CliArgs& args) {
    return store::openProject(context.connection(), wholeNumberArg(args.positional(0, "ID"), "ID"));
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
