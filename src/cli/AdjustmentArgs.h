#pragma once

#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliCommand.h"
#include "store/ProjectStore.h"

namespace qm::cli {

// The project named by the first positional word (its id), opened.
store::CurrentProject projectArg(CliContext& context, const CliArgs& args);

// Refuses a command line that asks for more than one of the command's actions: the flag
// --list and the options with a value named here.
void expectOneAction(const CliArgs& args, const std::vector<std::string>& valueOptions);

// Whole numbers separated by commas, such as "1001,1002"; UsageError naming the option
// otherwise.
std::vector<int> wholeNumberList(const std::string& text, const std::string& what);

}  // namespace qm::cli
