#include "setup/command_line.h"

namespace {

// What follows the program path: everything after the character that ends the path
// (closing quote or blank), less the one separating character after a closing quote.
std::string TextAfterProgramPath(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    size_t closing = commandLine.find('"', 1);
    if (closing == std::string::npos) return "";
    size_t start = closing + 2;  // the closing quote and the separating blank
    return start < commandLine.size() ? commandLine.substr(start) : "";
  }
  size_t blank = commandLine.find(' ');
  return blank == std::string::npos ? "" : commandLine.substr(blank + 1);
}

std::string WithoutOnePairOfQuotes(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

std::string ExtractBasePath(const std::string& commandLine) {
  return WithoutOnePairOfQuotes(TextAfterProgramPath(commandLine));
}
