// The publication script reader: words, quoting, comments and errors with their lines.
#include <gtest/gtest.h>

#include "ScriptReader.h"

namespace {

using nbhost::ReadScript;
using nbhost::ScriptError;
using nbhost::SplitScriptLine;

std::vector<std::string> Texts(const std::vector<nbhost::ScriptWord>& words) {
  std::vector<std::string> texts;
  for (const auto& word : words) texts.push_back(word.text);
  return texts;
}

TEST(ScriptReader, SplitsBareWordsAndQuotedTexts) {
  auto words = SplitScriptLine("Rectangle \"Rect 1\"\t10  -20 300 200", "s.nbs", 1);
  EXPECT_EQ(Texts(words),
            (std::vector<std::string>{"Rectangle", "Rect 1", "10", "-20", "300", "200"}));
  EXPECT_FALSE(words[0].quoted);
  EXPECT_TRUE(words[1].quoted);
}

TEST(ScriptReader, DoubledQuotesStandForOneQuoteAndEmptyQuotesForEmptyText) {
  auto words = SplitScriptLine(R"(SetVar "[v]" "say ""hi"" # not a comment" "")", "s.nbs", 1);
  EXPECT_EQ(Texts(words),
            (std::vector<std::string>{"SetVar", "[v]", "say \"hi\" # not a comment", ""}));
  EXPECT_TRUE(words[3].quoted);
  EXPECT_EQ(Texts(SplitScriptLine(R"(X """")", "s.nbs", 1)), (std::vector<std::string>{"X", "\""}));
}

TEST(ScriptReader, CommentsBlankLinesAndLineEndingsAreSkipped) {
  nbhost::Script script = ReadScript(
      "# heading\r\n\r\n   \nPrint \"[a]\" # trailing\r\n\t# indented\nSetVar \"[b]\" "
      "\"\xE9t\xE9\"",
      "s.nbs");
  ASSERT_EQ(script.commands.size(), 2u);
  EXPECT_EQ(script.commands[0].name, "Print");
  EXPECT_EQ(script.commands[0].line, 4);
  EXPECT_EQ(Texts(script.commands[0].args), (std::vector<std::string>{"[a]"}));
  EXPECT_EQ(script.commands[1].line, 6);
  EXPECT_EQ(script.commands[1].args[1].text, "\xE9t\xE9");  // 8-bit bytes pass unchanged
  EXPECT_TRUE(ReadScript("", "e.nbs").commands.empty());
}

struct BadLine {
  const char* text;
  int line;
  const char* problem;
};

TEST(ScriptReader, MalformedLinesNameTheFileLineAndProblem) {
  const BadLine cases[] = {
      {"Print \"[a]\"\nSetVar \"[b] \"x\n", 2, "a closing quote must be followed by a blank"},
      {"\n\nPrint \"[a]", 3, "unterminated quoted text"},
      {"Print [a\"b]", 1, "a quote inside the word \"[a\""},
      {"# ok\n\"Print\" \"[a]\"", 2, "a command must start with its name"},
      {"Print \"a\"\"", 1, "unterminated quoted text"},
  };
  for (const BadLine& bad : cases) {
    try {
      ReadScript(bad.text, "pub.nbs");
      ADD_FAILURE() << "accepted: " << bad.text;
    } catch (const ScriptError& error) {
      EXPECT_EQ(error.File(), "pub.nbs");
      EXPECT_EQ(error.Line(), bad.line) << bad.text;
      EXPECT_EQ(error.Problem(), bad.problem) << bad.text;
      EXPECT_EQ(std::string(error.what()),
                "pub.nbs:" + std::to_string(bad.line) + ": " + bad.problem);
    }
  }
}

TEST(ScriptReader, MissingFileIsAScriptErrorNamingIt) {
  try {
    nbhost::ReadScriptFile("no/such/file.nbs");
    ADD_FAILURE() << "a missing file was read";
  } catch (const ScriptError& error) {
    EXPECT_EQ(error.File(), "no/such/file.nbs");
    EXPECT_EQ(error.Problem(), "cannot open the script");
  }
}

TEST(ScriptReader, QuotingRoundTripsThroughTheReader) {
  for (std::string text : {"", "plain", "with \"quotes\"", "\"", "# hash", "tab\tin"}) {
    std::string line = "SetVar \"[v]\" " + nbhost::QuoteScriptText(text);
    auto words = SplitScriptLine(line, "q.nbs", 1);
    ASSERT_EQ(words.size(), 3u) << line;
    EXPECT_EQ(words[2].text, text);
  }
}

}  // namespace
