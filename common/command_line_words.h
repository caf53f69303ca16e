#pragma once
// A Windows command line split into words as the C runtime splits it into argv, so that
// Setup.exe and Uninstall.exe read what deployment tools, shells and scripting languages
// write: quotes may stand anywhere in a word and are removed; 2n backslashes before a
// quote give n backslashes and the quote toggles quoting, 2n+1 give n and a literal quote;
// other backslashes are literal; "" inside quotes gives one quote and stays quoted. The
// program name takes no escapes. Each word keeps where it stands in the line, for the
// rules that read the line as it was written.
//
// Portable: no Windows header, so that it is tested and fuzzed natively.

#include <cstddef>
#include <string>
#include <vector>

enum class WordProblem {
  kNone,
  // The line ends inside quotes.
  kUnclosedQuote,
  // A backslash stands before a quote that a blank or the line's end follows: the writer
  // meant the quote to close ("C:\Tool\"), the rules make it a literal quote that keeps
  // the word open. A path or switch never holds a quote, so this is always a mistake here.
  kBackslashBeforeClosingQuote,
};

struct CommandLineWord {
  std::string text;  // quotes removed, backslashes before quotes resolved
  // The word as written: line.substr(begin, end - begin).
  std::size_t begin = 0;
  std::size_t end = 0;
  WordProblem problem = WordProblem::kNone;
  // For kBackslashBeforeClosingQuote: the offset in the line of that quote.
  std::size_t problemQuote = 0;

  // Whatever quoting the writer chose, "/dir=C:\a b" and /dir="C:\a b" are both switches.
  bool IsSwitch() const { return !text.empty() && text[0] == '/'; }
};

// Where the program name ends: after its closing quote when it starts quoted, else at
// the first blank or tab.
std::size_t ProgramNameEnd(const std::string& line);

// The words after the program name.
std::vector<CommandLineWord> SplitCommandLine(const std::string& line);

// The program name followed by the words' texts, as argv.
std::vector<std::string> CommandLineArgv(const std::string& line);

// What is wrong with `word` and how to write it instead; empty for a sound word.
std::string WordProblemMessage(const std::string& line, const CommandLineWord& word);

// Whether the line, cut at every blank with its quotes ignored, holds `name` (lower case)
// in any letter case: a switch that a broken quote may have swallowed into another word
// still tells that nobody watches the run.
bool LineNamesSwitch(const std::string& line, const std::string& name);
