#include "setup/command_line.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// Where what follows the program path starts: after the closing quote (or the blank that
// ends an unquoted path) and one separating blank.
std::size_t ArgumentsStart(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t closing = commandLine.find('"', 1);
    return closing == std::string::npos ? commandLine.size() : std::min(closing + 2, commandLine.size());
  }
  const std::size_t blank = commandLine.find(' ');
  return blank == std::string::npos ? commandLine.size() : blank + 1;
}

std::string TextAfterProgramPath(const std::string& commandLine) {
  return commandLine.substr(ArgumentsStart(commandLine));
}

std::string WithoutOnePairOfQuotes(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Argument {
  std::string text;       // quotes removed
  std::string raw;        // as written
  std::size_t end = 0;    // offset after it in the arguments text
  bool unclosed = false;  // a quote that never closes
};

// Blanks outside double quotes separate arguments; the quotes themselves are dropped.
std::vector<Argument> SplitArguments(const std::string& text, std::size_t* dEquals) {
  std::vector<Argument> arguments;
  std::size_t position = 0;
  *dEquals = std::string::npos;
  while (position < text.size()) {
    while (position < text.size() && IsBlank(text[position])) ++position;
    if (position >= text.size()) break;
    if (text.compare(position, 3, "/D=") == 0 || text.compare(position, 3, "/d=") == 0) {
      *dEquals = position;  // the rest of the line is its value
      break;
    }
    Argument argument;
    const std::size_t start = position;
    bool quoted = false;
    for (; position < text.size() && (quoted || !IsBlank(text[position])); ++position) {
      if (text[position] == '"') {
        quoted = !quoted;
      } else {
        argument.text += text[position];
      }
    }
    argument.unclosed = quoted;
    argument.raw = text.substr(start, position - start);
    argument.end = position;
    arguments.push_back(argument);
  }
  return arguments;
}

bool HasSwitch(const std::string& arguments) {
  std::size_t dEquals = 0;
  for (const Argument& argument : SplitArguments(arguments, &dEquals))
    if (!argument.text.empty() && argument.raw[0] == '/') return true;
  return dEquals != std::string::npos;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return text.substr(first);
}

bool ParseShortcuts(const std::string& list, ShortcutChoice* choice) {
  if (Lower(list) == "none") {
    *choice = ShortcutChoice{};
    return true;
  }
  ShortcutChoice parsed;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string item = Lower(Trimmed(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (item == "startmenu") {
      parsed.startMenu = true;
    } else if (item == "desktop") {
      parsed.desktop = true;
    } else {
      return false;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  *choice = parsed;
  return true;
}

// One switch, "/name" or "/name=value"; false for one that is unknown or malformed,
// with `error` saying which.
bool ApplyOneSwitch(const Argument& argument, SetupOptions* options, std::string* error) {
  const std::string& text = argument.text;
  const std::size_t equals = text.find('=');
  const std::string name = Lower(text.substr(0, equals));
  const bool hasValue = equals != std::string::npos;
  const std::string value = hasValue ? text.substr(equals + 1) : std::string();
  auto malformed = [&] {
    *error = "Malformed switch: " + argument.raw;
    return false;
  };
  if (argument.unclosed) return malformed();
  if (name == "/verysilent" || name == "/s") {
    if (hasValue) return malformed();
    options->mode = SetupMode::kVerySilent;
  } else if (name == "/silent") {
    if (hasValue) return malformed();
    // Both on one line: the quieter wins, so that nothing waits for a person.
    if (options->mode != SetupMode::kVerySilent) options->mode = SetupMode::kSilent;
  } else if (name == "/dir") {
    if (Trimmed(value).empty()) return malformed();
    options->destination = Trimmed(value);
  } else if (name == "/allusers" || name == "/currentuser") {
    if (hasValue) return malformed();
    options->allUsers = name == "/allusers";
  } else if (name == "/shortcuts") {
    ShortcutChoice choice;
    if (!ParseShortcuts(value, &choice)) return malformed();
    options->shortcuts = choice;
  } else if (name == "/log") {
    if (hasValue && Trimmed(value).empty()) return malformed();
    options->log = true;
    options->logFile = Trimmed(value);
  } else if (name == "/force") {
    if (hasValue) return malformed();
    options->force = true;
  } else if (name == "/?" || name == "/help") {
    if (hasValue) return malformed();
    options->help = true;
  } else {
    *error = "Unknown switch: " + argument.raw;
    return false;
  }
  return true;
}

// The first unusable argument is the one named; the rest are still read, so that a /log
// after it is written.
void Fail(SetupOptions* options, const std::string& error) {
  if (options->error.empty()) options->error = error;
}

}  // namespace

std::string ExtractBasePath(const std::string& commandLine) {
  return WithoutOnePairOfQuotes(TextAfterProgramPath(commandLine));
}

SetupOptions ParseSetupCommandLine(const std::string& commandLine) {
  SetupOptions options;
  const std::string arguments = TextAfterProgramPath(commandLine);
  if (!HasSwitch(arguments)) {
    options.basePath = ExtractBasePath(commandLine);
    return options;
  }
  std::size_t dEquals = 0;
  bool haveBase = false;
  for (const Argument& argument : SplitArguments(arguments, &dEquals)) {
    std::string error;
    if (!argument.raw.empty() && argument.raw[0] == '/') {
      if (!ApplyOneSwitch(argument, &options, &error)) Fail(&options, error);
    } else if (argument.unclosed) {
      Fail(&options, "Unclosed quote: " + argument.raw);
    } else if (!haveBase) {
      options.basePath = argument.text;
      haveBase = true;
    } else {
      Fail(&options, "Unexpected argument: " + argument.raw);
    }
  }
  if (dEquals != std::string::npos) {
    const std::string value = WithoutOnePairOfQuotes(Trimmed(arguments.substr(dEquals + 3)));
    if (value.empty()) {
      Fail(&options, "Malformed switch: " + Trimmed(arguments.substr(dEquals)));
    } else {
      options.destination = value;
    }
  }
  return options;
}

std::string SetupUsageText() {
  return "Setup [base path] [switches]\n\n"
         "/verysilent or /S\tinstall without showing anything\n"
         "/silent\t\tshow only the installation's progress\n"
         "/dir=PATH\t\tinstall into PATH\n"
         "/D=PATH\t\tthe same; PATH is the rest of the line\n"
         "/allusers, /currentuser\twhose shortcuts to make\n"
         "/shortcuts=LIST\tstartmenu,desktop or none\n"
         "/log[=FILE]\t\twrite a log of the run\n"
         "/force\t\tinstall even on an unsupported Windows\n"
         "/? or /help\t\tshow this text\n\n"
         "Exit codes: 0 installed, 1 setup data unusable, 2 cancelled, 3 failed and undone, "
         "4 Windows not supported, 5 not enough disk space, 6 bad command line, 8 destination refused.";
}
