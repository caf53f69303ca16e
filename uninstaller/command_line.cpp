#include "uninstaller/command_line.h"

#include <cctype>
#include <cstdlib>

#include "common/command_line_words.h"

namespace {

constexpr char kFinishSwitch[] = "/finish";

// Skips the program's own name, quoted or not, and the blanks after it.
std::size_t AfterProgramName(const std::string& line) {
  std::size_t position = 0;
  if (!line.empty() && line[0] == '"') {
    position = line.find('"', 1);
    position = position == std::string::npos ? line.size() : position + 1;
  } else {
    position = line.find(' ');
    if (position == std::string::npos) position = line.size();
  }
  while (position < line.size() && line[position] == ' ') ++position;
  return position;
}

// A double-quoted text starting at `position`; moves `position` past it and one blank.
bool ReadQuoted(const std::string& line, std::size_t* position, std::string* text) {
  if (*position >= line.size() || line[*position] != '"') return false;
  const std::size_t close = line.find('"', *position + 1);
  if (close == std::string::npos) return false;
  *text = line.substr(*position + 1, close - *position - 1);
  *position = close + 1;
  if (*position < line.size() && line[*position] == ' ') ++*position;
  return true;
}

}  // namespace

std::string InstallFolderFromCommandLine(const std::string& commandLine) {
  const std::size_t first = commandLine.find(':');
  if (first == std::string::npos) return std::string();
  const std::size_t second = commandLine.find(':', first + 1);
  if (second == std::string::npos) return std::string();
  std::string folder = commandLine.substr(second - 1);
  while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\t')) folder.pop_back();
  if (!folder.empty() && folder.back() == '"') folder.pop_back();
  return folder;
}

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// One switch; `error` is set for one that is unknown or malformed.
void ApplySwitch(const std::string& text, const std::string& written, UninstallSwitches* switches,
                 std::string* error) {
  const std::string name = Lower(text);
  if (name == "/s" || name == "/verysilent") {
    switches->quiet = true;
  } else if (name == "/silent") {
    switches->silent = true;
  } else if (name == "/suppressmsgboxes" || name == "/norestart") {
    // Nothing to do: the uninstaller asks nothing in a silent removal, and never restarts
    // the machine itself.
  } else if (name == "/log") {
    switches->log = true;
  } else if (name.compare(0, 5, "/log=") == 0 && text.find_first_not_of(" \t", 5) != std::string::npos) {
    switches->log = true;
    switches->logFile = text.substr(5);
  } else {
    *error = (name.compare(0, 4, "/log") == 0 ? "Malformed switch: " : "Unknown switch: ") + written;
  }
}

// A removal nobody watches stays so even when its line cannot be used.
void KeepUnwatchedRunQuiet(const std::string& commandLine, UninstallSwitches* switches) {
  if (switches->error.empty() || switches->ShowsNoMessageBox()) return;
  switches->quiet = LineNamesSwitch(commandLine, "/s") || LineNamesSwitch(commandLine, "/verysilent");
  switches->silent = LineNamesSwitch(commandLine, "/silent");
}

}  // namespace

UninstallSwitches ParseUninstallSwitches(const std::string& commandLine) {
  UninstallSwitches switches;
  std::string remaining;
  std::size_t copied = 0;  // the line up to here is in `remaining`, but for switches
  for (const CommandLineWord& word : SplitCommandLine(commandLine)) {
    // A folder never begins with a slash; what is not a switch is left for the folder rule,
    // which reads the line as written.
    if (!word.IsSwitch()) continue;
    remaining += commandLine.substr(copied, word.begin - copied);
    copied = word.end;
    const std::string written = commandLine.substr(word.begin, word.end - word.begin);
    std::string error;
    if (word.problem != WordProblem::kNone) {
      error = WordProblemMessage(commandLine, word);
    } else {
      ApplySwitch(word.text, written, &switches, &error);
    }
    if (switches.error.empty()) switches.error = error;
  }
  remaining += commandLine.substr(copied);
  while (!remaining.empty() && (remaining.back() == ' ' || remaining.back() == '\t')) remaining.pop_back();
  switches.remainingLine = remaining;
  KeepUnwatchedRunQuiet(commandLine, &switches);
  return switches;
}

namespace {

// A number followed by one blank, at `*position`; moves past both.
bool ReadNumber(const std::string& text, std::size_t* position, uintptr_t* number) {
  const char* start = text.c_str() + *position;
  if (*start < '0' || *start > '9') return false;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(start, &end, 10);
  if (end == start || *end != ' ') return false;
  *number = static_cast<uintptr_t>(value);
  *position += static_cast<std::size_t>(end - start) + 1;
  return true;
}

}  // namespace

std::string FinishCommandLine(const std::string& copyPath, const FinishArguments& arguments) {
  return "\"" + copyPath + "\" " + kFinishSwitch + " " + std::to_string(arguments.processHandle) + " " +
         std::to_string(arguments.copyHandle) + " \"" + arguments.uninstallerPath + "\" \"" + arguments.folder + "\"";
}

bool ParseFinishCommandLine(const std::string& commandLine, FinishArguments* arguments) {
  std::size_t position = AfterProgramName(commandLine);
  const std::string prefix = std::string(kFinishSwitch) + " ";
  if (commandLine.compare(position, prefix.size(), prefix) != 0) return false;
  position += prefix.size();
  FinishArguments parsed;
  if (!ReadNumber(commandLine, &position, &parsed.processHandle) || parsed.processHandle == 0 ||
      !ReadNumber(commandLine, &position, &parsed.copyHandle)) {
    return false;
  }
  if (!ReadQuoted(commandLine, &position, &parsed.uninstallerPath) ||
      !ReadQuoted(commandLine, &position, &parsed.folder) || position != commandLine.size()) {
    return false;
  }
  if (parsed.uninstallerPath.empty() || parsed.folder.empty()) return false;
  *arguments = parsed;
  return true;
}
