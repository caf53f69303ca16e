// The command line split as the Windows C runtime splits argv, with the mistakes people
// make when quoting a folder that ends in a backslash.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/command_line_words.h"

namespace {

using Argv = std::vector<std::string>;

TEST(CommandLineArgv, FollowsTheRuntimesRules) {
  struct Case {
    const char* line;
    Argv argv;
  } cases[] = {
      // The examples Microsoft gives for the C runtime.
      {R"(p "a b c" d e)", {"p", "a b c", "d", "e"}},
      {R"(p "ab\"c" "\\" d)", {"p", R"(ab"c)", R"(\)", "d"}},
      {R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
      {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
      {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
      {R"(p a"b"" c d)", {"p", R"(ab" c d)"}},
      // The program name takes no escapes and ends at its closing quote.
      {R"("C:\Program Files\a\" b)", {R"(C:\Program Files\a\)", "b"}},
      {R"("C:\a b\setup.exe"/S)", {R"(C:\a b\setup.exe)", "/S"}},
      {"C:\\a\\setup.exe\t/S", {"C:\\a\\setup.exe", "/S"}},
      {R"("C:\a b\setup.exe)", {R"(C:\a b\setup.exe)"}},
      {"", {""}},
      // Blanks and tabs separate; more of them make no empty words, "" does.
      {"p \t a  \"\"  b ", {"p", "a", "", "b"}},
      // A quote may stand anywhere in a word.
      {R"(p "/dir=C:\a b" /dir="C:\a b" /d"ir=C:\a "b)", {"p", R"(/dir=C:\a b)", R"(/dir=C:\a b)", R"(/dir=C:\a b)"}},
      // Backslashes not before a quote are literal, also a folder's last one.
      {R"(p /dir=C:\Tool\ \\server\share)", {"p", R"(/dir=C:\Tool\)", R"(\\server\share)"}},
      {R"(p /dir="C:\Tool\\")", {"p", R"(/dir=C:\Tool\)"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandLineArgv(c.line), c.argv) << c.line;
  }
}

TEST(SplitCommandLine, KeepsWhereEachWordStandsAndWhetherItIsASwitch) {
  const std::string line = R"("C:\setup.exe" base "/log=C:\a b.log"  /D=C:\x y)";
  const std::vector<CommandLineWord> words = SplitCommandLine(line);
  const char* written[] = {"base", R"("/log=C:\a b.log")", "/D=C:\\x", "y"};
  const bool switches[] = {false, true, true, false};
  ASSERT_EQ(words.size(), 4u);
  for (std::size_t i = 0; i < words.size(); ++i) {
    EXPECT_EQ(line.substr(words[i].begin, words[i].end - words[i].begin), written[i]);
    EXPECT_EQ(words[i].IsSwitch(), switches[i]) << written[i];
    EXPECT_EQ(words[i].problem, WordProblem::kNone) << written[i];
  }
}

TEST(SplitCommandLine, NamesAQuoteLeftOpenAndSaysHowToWriteIt) {
  struct Case {
    const char* line;
    WordProblem problem;
    const char* message;
  } cases[] = {
      {R"(p /dir="C:\Tool\")", WordProblem::kBackslashBeforeClosingQuote,
       "A backslash before a closing quote makes the quote part of the text: /dir=\"C:\\Tool\\\"\n"
       "Write it without the last backslash: /dir=\"C:\\Tool\"\n"
       "or double that backslash: /dir=\"C:\\Tool\\\\\""},
      // The words after it fall into the open quote; the message names the part meant.
      {R"(p /dir="C:\Tool\" /verysilent)", WordProblem::kBackslashBeforeClosingQuote,
       "A backslash before a closing quote makes the quote part of the text: /dir=\"C:\\Tool\\\"\n"
       "Write it without the last backslash: /dir=\"C:\\Tool\"\n"
       "or double that backslash: /dir=\"C:\\Tool\\\\\""},
      {R"(p "/dir=C:\a b\\\" x)", WordProblem::kBackslashBeforeClosingQuote,
       "A backslash before a closing quote makes the quote part of the text: \"/dir=C:\\a b\\\\\\\"\n"
       "Write it without the last backslash: \"/dir=C:\\a b\\\\\"\n"
       "or double that backslash: \"/dir=C:\\a b\\\\\\\\\""},
      {R"(p /log="C:\a b.log )", WordProblem::kUnclosedQuote,
       "Unclosed quote: /log=\"C:\\a b.log\nClose it: /log=\"C:\\a b.log\""},
      // A literal quote inside a word that goes on is no mistake of this kind.
      {R"(p "a \"b\"c")", WordProblem::kNone, ""},
      {R"(p a\" b)", WordProblem::kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<CommandLineWord> words = SplitCommandLine(c.line);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words[0].problem, c.problem);
    EXPECT_EQ(WordProblemMessage(c.line, words[0]), c.message);
  }
}

TEST(LineNamesSwitch, FindsASwitchEvenInsideABrokenWord) {
  struct Case {
    const char* line;
    bool named;
  } cases[] = {
      {R"("C:\Setup.exe" /VerySilent)", true},
      {R"("C:\Setup.exe" /dir="C:\Tool\" /VERYSILENT /log=x)", true},
      {R"("C:\Setup.exe" "/verysilent")", true},
      {R"("C:\Setup.exe" /verysilentx /dir=/verysilent)", false},
      {R"("C:\/verysilent\Setup.exe")", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LineNamesSwitch(c.line, "/verysilent"), c.named) << c.line;
  }
}

}  // namespace
