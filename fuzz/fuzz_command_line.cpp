// The command-line splitter on arbitrary lines: every word stands where it says, between
// blanks only, and its text quoted back as Windows programs quote an argument splits
// again into the same argv.

#include <string>
#include <vector>

#include "common/command_line_words.h"
#include "fuzz_input.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// How a program writes one argument so that the runtime's rules give it back.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

void CheckSpans(const std::string& line, const std::vector<CommandLineWord>& words) {
  std::size_t previousEnd = ProgramNameEnd(line);
  Require(previousEnd <= line.size(), "the program name lies within the line");
  for (const CommandLineWord& word : words) {
    Require(previousEnd <= word.begin && word.begin < word.end && word.end <= line.size(), "words in order");
    for (std::size_t i = previousEnd; i < word.begin; ++i) Require(IsBlank(line[i]), "only blanks between words");
    Require(!IsBlank(line[word.begin]), "a word starts with what is no blank");
    Require(word.text.size() <= word.end - word.begin, "removing quotes never lengthens");
    Require(word.problem != WordProblem::kNone || WordProblemMessage(line, word).empty(), "no message without a problem");
    Require(word.problem == WordProblem::kNone || !WordProblemMessage(line, word).empty(), "a problem has a message");
    previousEnd = word.end;
  }
  for (std::size_t i = previousEnd; i < line.size(); ++i) Require(IsBlank(line[i]), "only blanks after the last word");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  CheckSpans(line, SplitCommandLine(line));
  const std::vector<std::string> argv = CommandLineArgv(line);
  Require(!argv.empty(), "argv has the program name");
  if (argv[0].find('"') != std::string::npos) return 0;  // a name with a quote cannot be written quoted
  std::string written = "\"" + argv[0] + "\"";
  for (std::size_t i = 1; i < argv.size(); ++i) written += " " + Quoted(argv[i]);
  Require(CommandLineArgv(written) == argv, "quoted back, the words split the same");
  return 0;
}
