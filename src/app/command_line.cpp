#include "app/command_line.h"

#include <ostream>

namespace vernatto::app {
namespace {

// The spec whose name or short name `arg` spells, with an inline value split
// off into `value`; specs.size() when none does.
std::size_t findSpec(const std::string& arg, const std::vector<OptionSpec>& specs,
                     std::string& value, bool& hasValue) {
  for (std::size_t i = 0; i < specs.size(); ++i) {
    const OptionSpec& spec = specs[i];
    std::string_view rest(arg);
    if (rest.substr(0, spec.name.size()) == spec.name) {
      rest.remove_prefix(spec.name.size());
      if (rest.empty() || (spec.takesValue && rest.front() == '=')) {
        hasValue = !rest.empty();
        value = hasValue ? std::string(rest.substr(1)) : std::string();
        return i;
      }
    }
    rest = arg;
    if (!spec.shortName.empty() &&
        rest.substr(0, spec.shortName.size()) == spec.shortName) {
      rest.remove_prefix(spec.shortName.size());
      if (rest.empty() || spec.takesValue) {
        hasValue = !rest.empty();
        value = std::string(rest);
        return i;
      }
    }
  }
  return specs.size();
}

}  // namespace

bool splitCommandLine(const std::vector<std::string>& args,
                      const std::vector<OptionSpec>& specs,
                      std::vector<FoundOption>& found, std::vector<std::string>& operands,
                      std::string& problem) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg.front() != '-') {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    FoundOption option;
    bool hasValue = false;
    option.spec = findSpec(arg, specs, option.value, hasValue);
    if (option.spec == specs.size()) {
      problem = "unknown option '" + arg + "' (see --help)";
      return false;
    }
    const OptionSpec& spec = specs[option.spec];
    if (spec.takesValue && !hasValue && i + 1 < args.size())
      option.value = args[++i];
    if (spec.takesValue && option.value.empty()) {
      problem =
          "option '" + std::string(spec.name) + "' needs a non-empty value (see --help)";
      return false;
    }
    found.push_back(std::move(option));
  }
  return true;
}

std::vector<std::string> argumentsAfterProgram(const std::vector<std::string>& args) {
  return std::vector<std::string>(args.empty() ? args.begin() : args.begin() + 1,
                                  args.end());
}

std::optional<int> answerCommandLine(std::string_view program, bool parsed,
                                     const std::string& problem, bool help, bool version,
                                     const std::string& usage, std::ostream& out,
                                     std::ostream& err) {
  if (!parsed) {
    err << program << ": " << problem << std::endl;
    return 2;
  }
  if (!help && !version)
    return std::nullopt;
  if (help)
    out << usage;
  else
    out << program << " " VERNATTO_VERSION "\n";
  out.flush();
  return out ? 0 : 1;
}

}  // namespace vernatto::app
