#include "common/command_line.h"

#include <ostream>

namespace vernatto::common {
namespace {

// The index of the option whose name or short name `arg` spells, with an
// inline value split off into `value`; known.size() when none does.
std::size_t findKnown(const std::string& arg, const std::vector<KnownOption>& known,
                      std::string& value, bool& hasValue) {
  for (std::size_t i = 0; i < known.size(); ++i) {
    const KnownOption& candidate = known[i];
    std::string_view rest(arg);
    if (rest.substr(0, candidate.name.size()) == candidate.name) {
      rest.remove_prefix(candidate.name.size());
      if (rest.empty() || (candidate.takesValue && rest.front() == '=')) {
        hasValue = !rest.empty();
        value = hasValue ? std::string(rest.substr(1)) : std::string();
        return i;
      }
    }
    rest = arg;
    if (!candidate.shortName.empty() &&
        rest.substr(0, candidate.shortName.size()) == candidate.shortName) {
      rest.remove_prefix(candidate.shortName.size());
      if (rest.empty() || candidate.takesValue) {
        hasValue = !rest.empty();
        value = std::string(rest);
        return i;
      }
    }
  }
  return known.size();
}

}  // namespace

bool splitCommandLine(const std::vector<std::string>& args,
                      const std::vector<KnownOption>& known,
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
    option.which = findKnown(arg, known, option.value, hasValue);
    if (option.which == known.size()) {
      problem = "unknown option '" + arg + "' (see --help)";
      return false;
    }
    const KnownOption& rule = known[option.which];
    if (rule.takesValue && !hasValue && i + 1 < args.size())
      option.value = args[++i];
    if (rule.takesValue && option.value.empty()) {
      problem =
          "option '" + std::string(rule.name) + "' needs a non-empty value (see --help)";
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

bool checkOutputs(const std::string& html, const std::string& csv,
                  const std::string& json, bool open, std::string& problem) {
  if ((html == "-") + (csv == "-") + (json == "-") > 1) {
    problem = "only one output can go to standard output (see --help)";
    return false;
  }
  if (open && (html.empty() || html == "-")) {
    problem = "--open needs --html FILE (see --help)";
    return false;
  }
  return true;
}

}  // namespace vernatto::common
