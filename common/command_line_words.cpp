#include "common/command_line_words.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool BlankOrEndAt(const std::string& line, std::size_t position) {
  return position >= line.size() || IsBlank(line[position]);
}

std::size_t SkipBlanks(const std::string& line, std::size_t position) {
  while (position < line.size() && IsBlank(line[position])) ++position;
  return position;
}

std::size_t BackslashesFrom(const std::string& line, std::size_t position) {
  std::size_t count = 0;
  while (position + count < line.size() && line[position + count] == '\\') ++count;
  return count;
}

// Reads one word from `word->begin` on; `word->end` is where it stopped.
class WordReader {
 public:
  WordReader(const std::string& line, CommandLineWord* word) : line_(line), word_(word), position_(word->begin) {}

  void Read() {
    while (position_ < line_.size() && (quoted_ || !IsBlank(line_[position_]))) {
      if (line_[position_] == '\\') {
        ReadBackslashes();
      } else if (line_[position_] == '"') {
        ReadQuote();
      } else {
        word_->text += line_[position_++];
      }
    }
    word_->end = position_;
    if (quoted_ && word_->problem == WordProblem::kNone) word_->problem = WordProblem::kUnclosedQuote;
  }

 private:
  void ReadBackslashes() {
    const std::size_t count = BackslashesFrom(line_, position_);
    const std::size_t after = position_ + count;
    const bool beforeQuote = after < line_.size() && line_[after] == '"';
    word_->text.append(beforeQuote ? count / 2 : count, '\\');
    position_ = after;
    if (!beforeQuote || count % 2 == 0) return;  // an even run leaves the quote to quote
    word_->text += '"';
    ++position_;
    if (quoted_ && BlankOrEndAt(line_, position_) && word_->problem == WordProblem::kNone) {
      word_->problem = WordProblem::kBackslashBeforeClosingQuote;
      word_->problemQuote = after;
    }
  }

  void ReadQuote() {
    if (quoted_ && position_ + 1 < line_.size() && line_[position_ + 1] == '"') {
      word_->text += '"';  // "" inside quotes: one quote, and the quoting goes on
      position_ += 2;
      return;
    }
    quoted_ = !quoted_;
    ++position_;
  }

  const std::string& line_;
  CommandLineWord* word_;
  std::size_t position_;
  bool quoted_ = false;
};

std::string WithoutTrailingBlanks(std::string text) {
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

}  // namespace

std::size_t ProgramNameEnd(const std::string& line) {
  if (!line.empty() && line[0] == '"') {
    const std::size_t closing = line.find('"', 1);
    return closing == std::string::npos ? line.size() : closing + 1;
  }
  std::size_t end = 0;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  return end;
}

std::vector<CommandLineWord> SplitCommandLine(const std::string& line) {
  std::vector<CommandLineWord> words;
  for (std::size_t position = SkipBlanks(line, ProgramNameEnd(line)); position < line.size();
       position = SkipBlanks(line, position)) {
    CommandLineWord word;
    word.begin = position;
    WordReader(line, &word).Read();
    position = word.end;
    words.push_back(word);
  }
  return words;
}

std::vector<std::string> CommandLineArgv(const std::string& line) {
  std::string name = line.substr(0, ProgramNameEnd(line));
  if (!name.empty() && name[0] == '"') {
    name.erase(0, 1);
    if (!name.empty() && name.back() == '"') name.pop_back();
  }
  std::vector<std::string> argv{name};
  for (const CommandLineWord& word : SplitCommandLine(line)) argv.push_back(word.text);
  return argv;
}

std::string WordProblemMessage(const std::string& line, const CommandLineWord& word) {
  const std::string written = WithoutTrailingBlanks(line.substr(word.begin, word.end - word.begin));
  switch (word.problem) {
    case WordProblem::kNone:
      return std::string();
    case WordProblem::kUnclosedQuote:
      return "Unclosed quote: " + written + "\nClose it: " + written + "\"";
    case WordProblem::kBackslashBeforeClosingQuote: {
      // Up to the quote that was meant to close, then both ways of making it close.
      const std::string meant = line.substr(word.begin, word.problemQuote + 1 - word.begin);
      const std::string beforeBackslash = meant.substr(0, meant.size() - 2);
      return "A backslash before a closing quote makes the quote part of the text: " + meant +
             "\nWrite it without the last backslash: " + beforeBackslash + "\"" +
             "\nor double that backslash: " + beforeBackslash + "\\\\\"";
    }
  }
  return std::string();
}

bool LineNamesSwitch(const std::string& line, const std::string& name) {
  std::string piece;
  for (std::size_t position = ProgramNameEnd(line); position <= line.size(); ++position) {
    if (position == line.size() || IsBlank(line[position])) {
      if (piece == name) return true;
      piece.clear();
    } else if (line[position] != '"') {
      piece += static_cast<char>(std::tolower(static_cast<unsigned char>(line[position])));
    }
  }
  return false;
}
