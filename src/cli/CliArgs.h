#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm::cli {

// The words after a command's name: positional words and options "--name value" or "--flag".
// Which options take a value is declared up front, so that a misspelt option is refused instead
// of being ignored.
class CliArgs {
  public:
    CliArgs(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
            const std::set<std::string>& flagOptions);

    const std::vector<std::string>& positionals() const { return positionals_; }
    // The positional word at index; UsageError naming what is missing when there is none.
    const std::string& positional(std::size_t index, const std::string& what) const;
    std::optional<std::string> value(const std::string& option) const;
    bool flag(const std::string& option) const { return flags_.count(option) != 0; }
    // Refuses positional words beyond the expected count.
    void expectPositionals(std::size_t count) const;

  private:
    std::vector<std::string> positionals_;
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
};

// A command line that does not fit the command: shown with the command's usage, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A whole number read from a command-line word; UsageError naming the word otherwise.
int wholeNumberArg(const std::string& text, const std::string& what);

}  // namespace qm::cli
