#include "setup/command_line.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "common/command_line_words.h"

namespace {

std::string TextAfterProgramPath(const std::string& commandLine) {
  // The program path and the one character, a blank, that separates it from the rest.
  return commandLine.substr(std::min(ProgramNameEnd(commandLine) + 1, commandLine.size()));
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

std::string Written(const std::string& line, const CommandLineWord& word) {
  return line.substr(word.begin, word.end - word.begin);
}

bool HasSwitch(const std::vector<CommandLineWord>& words) {
  return std::any_of(words.begin(), words.end(), [](const CommandLineWord& word) { return word.IsSwitch(); });
}

// "/D=" as written, not inside quotes: the old form that takes the rest of the line.
bool IsRestOfLineDestination(const std::string& line, const CommandLineWord& word) {
  return Lower(line.substr(word.begin, 3)) == "/d=";
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

// A switch that takes no value: false for a name that is none of them.
bool ApplyFlag(const std::string& name, SetupOptions* options) {
  if (name == "/verysilent" || name == "/s") {
    options->mode = SetupMode::kVerySilent;
  } else if (name == "/silent") {
    // Both on one line: the quieter wins, so that nothing waits for a person.
    if (options->mode != SetupMode::kVerySilent) options->mode = SetupMode::kSilent;
  } else if (name == "/allusers" || name == "/currentuser") {
    options->allUsers = name == "/allusers";
  } else if (name == "/noicons") {
    options->shortcuts = ShortcutChoice{};
  } else if (name == "/force") {
    options->force = true;
  } else if (name == "/suppressmsgboxes") {
    options->suppressMessageBoxes = true;
  } else if (name == "/closeapplications") {
    options->closeApplications = true;
  } else if (name == "/nocancel") {
    options->noCancel = true;
  } else if (name == "/?" || name == "/help") {
    options->help = true;
  } else {
    // /SP- and /NORESTART ask for nothing this setup would do: it shows no "this will
    // install" question, and never restarts the machine itself.
    return name == "/sp-" || name == "/norestart";
  }
  return true;
}

bool IsFlag(const std::string& name) {
  SetupOptions scratch;
  return ApplyFlag(name, &scratch);
}

// One switch, "/name" or "/name=value"; false for one that is unknown or malformed,
// with `error` saying which.
bool ApplyOneSwitch(const std::string& text, const std::string& written, SetupOptions* options, std::string* error) {
  const std::size_t equals = text.find('=');
  const std::string name = Lower(text.substr(0, equals));
  const bool hasValue = equals != std::string::npos;
  const std::string value = hasValue ? text.substr(equals + 1) : std::string();
  auto malformed = [&] {
    *error = "Malformed switch: " + written;
    return false;
  };
  if (IsFlag(name)) {
    if (hasValue) return malformed();
    return ApplyFlag(name, options);
  }
  if (name == "/dir" || name == "/d") {
    if (Trimmed(value).empty()) return malformed();
    options->destination = Trimmed(value);
  } else if (name == "/shortcuts") {
    ShortcutChoice choice;
    if (!ParseShortcuts(value, &choice)) return malformed();
    options->shortcuts = choice;
  } else if (name == "/log") {
    if (hasValue && Trimmed(value).empty()) return malformed();
    options->log = true;
    options->logFile = Trimmed(value);
  } else {
    *error = "Unknown switch: " + written;
    return false;
  }
  return true;
}

// The first unusable argument is the one named; the rest are still read, so that a /log
// after it is written.
void Fail(SetupOptions* options, const std::string& error) {
  if (options->error.empty()) options->error = error;
}

// "/D=PATH": PATH is the rest of the line, blanks and all.
void TakeRestOfLineDestination(const std::string& rest, SetupOptions* options) {
  const std::string value = WithoutOnePairOfQuotes(Trimmed(rest.substr(3)));
  if (value.empty()) {
    Fail(options, "Malformed switch: " + Trimmed(rest));
  } else {
    options->destination = value;
  }
}

// A line that cannot be used may have lost its /verysilent into a word with a broken
// quote; a deployment tool's run must still not wait on a message box nobody sees.
void KeepUnwatchedRunQuiet(const std::string& commandLine, SetupOptions* options) {
  if (options->error.empty() || options->mode != SetupMode::kWizard) return;
  if (LineNamesSwitch(commandLine, "/verysilent") || LineNamesSwitch(commandLine, "/s")) {
    options->mode = SetupMode::kVerySilent;
  } else if (LineNamesSwitch(commandLine, "/silent")) {
    options->mode = SetupMode::kSilent;
  }
}

}  // namespace

std::string ExtractBasePath(const std::string& commandLine) {
  return WithoutOnePairOfQuotes(TextAfterProgramPath(commandLine));
}

SetupOptions ParseSetupCommandLine(const std::string& commandLine) {
  SetupOptions options;
  const std::vector<CommandLineWord> words = SplitCommandLine(commandLine);
  if (!HasSwitch(words)) {
    options.basePath = ExtractBasePath(commandLine);
    return options;
  }
  bool haveBase = false;
  for (const CommandLineWord& word : words) {
    const std::string written = Written(commandLine, word);
    std::string error;
    if (IsRestOfLineDestination(commandLine, word)) {
      TakeRestOfLineDestination(commandLine.substr(word.begin), &options);
      break;
    }
    if (word.problem != WordProblem::kNone) {
      Fail(&options, WordProblemMessage(commandLine, word));
    } else if (word.IsSwitch()) {
      if (!ApplyOneSwitch(word.text, written, &options, &error)) Fail(&options, error);
    } else if (!haveBase) {
      options.basePath = word.text;
      haveBase = true;
    } else {
      Fail(&options, "Unexpected argument: " + written);
    }
  }
  KeepUnwatchedRunQuiet(commandLine, &options);
  return options;
}

std::string SetupUsageText() {
  return "Setup [base path] [switches]\n\n"
         "/verysilent or /S\tinstall without showing anything\n"
         "/silent\t\tshow only the installation's progress\n"
         "/suppressmsgboxes\twith /silent: log message boxes instead of showing them\n"
         "/dir=PATH\t\tinstall into PATH (quotes anywhere)\n"
         "/D=PATH\t\tthe same; PATH is the rest of the line\n"
         "/allusers, /currentuser\twhose shortcuts to make\n"
         "/shortcuts=LIST\tstartmenu,desktop or none\n"
         "/noicons\t\tthe same as /shortcuts=none\n"
         "/closeapplications\tclose the product's running programs without a warning\n"
         "/nocancel\t\tthe installation cannot be cancelled\n"
         "/log[=FILE]\t\twrite a log of the run\n"
         "/force\t\tinstall even on an unsupported Windows or over a newer version\n"
         "/norestart, /sp-\taccepted; the setup never restarts Windows itself\n"
         "/? or /help\t\tshow this text\n\n"
         "Exit codes: 0 installed, 1 setup data unusable, 2 cancelled, 3 failed and undone, "
         "4 Windows not supported, 5 not enough disk space, 6 bad command line, "
         "7 newer version installed, 8 destination refused, "
         "1618 another setup or the uninstaller of the product is running, or a restart is pending for it "
         "(retry later), 3010 installed; restart needed to replace files in use.";
}
