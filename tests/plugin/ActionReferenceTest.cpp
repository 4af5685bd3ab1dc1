// The action reference against the code: docs/actions.md must list every action of the
// catalogue with its id, category, hint, parameter count and result codes, and every example
// in it must run on the built plug-in and succeed. (The guides' complete scripts, which need
// mouse and keyboard input, run in nbhost itself: RunGuideScripts.cmake.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "HostServices.h"
#include "ScriptReader.h"
#include "ScriptRunner.h"
#include "plugin/ActionCatalogue.h"
#include "plugin/ActionFrame.h"
#include "plugin/BasicActions.h"
#include "plugin/FileActions.h"
#include "store/TSingleFileSystem.h"

namespace {

std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("SS_SOURCE_DIR");
  return std::string(root != nullptr ? root : SS_SOURCE_DIR_DEFAULT) + "/" + relative;
}

std::vector<std::string> Lines(const std::string& relative) {
  std::ifstream in(SourcePath(relative), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The ```nbs blocks of a page, in order.
std::vector<std::string> NbsBlocks(const std::vector<std::string>& lines, size_t from = 0,
                                   size_t to = std::string::npos) {
  std::vector<std::string> blocks;
  bool inBlock = false;
  for (size_t i = from; i < lines.size() && i < to; ++i) {
    if (!inBlock && lines[i] == "```nbs") {
      inBlock = true;
      blocks.emplace_back();
    } else if (inBlock && lines[i] == "```") {
      inBlock = false;
    } else if (inBlock) {
      blocks.back() += lines[i] + "\n";
    }
  }
  return blocks;
}

struct SummaryRow {
  int id;
  std::string name, category;
  int count;
  std::string errorCode;  // empty for "none"
};

struct Section {
  std::string category, name;
  int id = -1;
  std::string hint;
  std::vector<int> parameterNumbers;
  std::set<std::string> codes;
  std::vector<std::string> examples;
};

struct Reference {
  std::vector<SummaryRow> summary;
  std::vector<Section> sections;
  std::set<std::string> glossaryCodes;  // the "Result codes at a glance" table
};

Reference ReadReference() {
  const std::vector<std::string> lines = Lines("docs/actions.md");
  Reference ref;
  const std::regex summaryRow(
      R"(^\| (\d+) \| `(\w+)` \| (\w+) \| (\d+) \| (?:`(zkSSH-\d{3})`|none) \|$)");
  const std::regex glossaryRow(R"(^\| `(zkSSH-\d{3})` \|)");
  const std::regex idLine(R"re(^\*\*Id\*\* (\d+) · \*\*Hint\*\* "(.*)"$)re");
  const std::regex parameterRow(R"(^\| (\d+) \|)");
  const std::regex code(R"(zkSSH-\d{3})");
  std::string category;
  std::vector<size_t> starts;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    std::smatch m;
    if (line.rfind("## ", 0) == 0) {
      category = line.substr(3);
    } else if (line.rfind("### `", 0) == 0 && line.back() == '`') {
      ref.sections.push_back(Section{category, line.substr(5, line.size() - 6)});
      starts.push_back(i);
    } else if (ref.sections.empty() && std::regex_match(line, m, summaryRow)) {
      ref.summary.push_back({std::stoi(m[1]), m[2], m[3], std::stoi(m[4]), m[5]});
    } else if (ref.sections.empty() && std::regex_search(line, m, glossaryRow)) {
      ref.glossaryCodes.insert(m[1]);
    } else if (!ref.sections.empty()) {
      Section& s = ref.sections.back();
      if (std::regex_match(line, m, idLine)) {
        s.id = std::stoi(m[1]);
        s.hint = m[2];
      } else if (std::regex_search(line, m, parameterRow)) {
        s.parameterNumbers.push_back(std::stoi(m[1]));
      }
    }
  }
  // Result codes: the paragraph that starts with "**Result codes:**", up to the blank line.
  starts.push_back(lines.size());
  for (size_t k = 0; k + 1 < starts.size(); ++k) {
    Section& s = ref.sections[k];
    bool inCodes = false;
    for (size_t i = starts[k]; i < starts[k + 1]; ++i) {
      if (lines[i].rfind("**Result codes:**", 0) == 0) inCodes = true;
      if (lines[i].empty()) inCodes = false;
      if (!inCodes) continue;
      for (std::sregex_iterator it(lines[i].begin(), lines[i].end(), code), end; it != end; ++it)
        s.codes.insert(it->str());
    }
    s.examples = NbsBlocks(lines, starts[k], starts[k + 1]);
  }
  return ref;
}

// Every result code the plug-in can write.
std::set<std::string> CodesInTheCode() {
  std::set<std::string> codes = {plugin::kCodeSuccess,     plugin::kCodeNoWindow,
                                 plugin::kCodeNoInterface, plugin::kCodeAttachFailed,
                                 plugin::kCodeNoFile,      plugin::kCodeEditing};
  for (const plugin::ActionEntry& entry : plugin::Catalogue()) {
    if (entry.exceptionCode[0] != '\0') codes.insert(entry.exceptionCode);
  }
  return codes;
}

TEST(ActionReference, SummaryTableListsTheCatalogueInOrder) {
  const Reference ref = ReadReference();
  const auto catalogue = plugin::Catalogue();
  ASSERT_EQ(ref.summary.size(), catalogue.size()) << "docs/actions.md: table \"All actions\"";
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const plugin::ActionEntry& e = catalogue[i];
    const SummaryRow& row = ref.summary[i];
    SCOPED_TRACE("docs/actions.md, table \"All actions\", row " + std::to_string(i + 1));
    EXPECT_EQ(row.id, e.id);
    EXPECT_EQ(row.name, e.name);
    EXPECT_EQ(row.category, e.category);
    EXPECT_EQ(row.count, static_cast<int>(e.count)) << e.name;
    EXPECT_EQ(row.errorCode, e.exceptionCode) << e.name;
  }
  EXPECT_EQ(ref.glossaryCodes, CodesInTheCode()) << "docs/actions.md: \"Result codes at a glance\"";
}

TEST(ActionReference, EverySectionMatchesItsCatalogueEntry) {
  const Reference ref = ReadReference();
  const auto catalogue = plugin::Catalogue();
  const std::set<std::string> known = CodesInTheCode();
  ASSERT_EQ(ref.sections.size(), catalogue.size()) << "docs/actions.md: one section per action";
  for (size_t i = 0; i < catalogue.size(); ++i) {
    const plugin::ActionEntry& e = catalogue[i];
    const Section& s = ref.sections[i];
    SCOPED_TRACE("docs/actions.md, section " + std::to_string(i + 1) + " (" + s.name + ")");
    EXPECT_EQ(s.name, e.name);
    EXPECT_EQ(s.category, e.category);
    EXPECT_EQ(s.id, e.id);
    EXPECT_EQ(s.hint, e.hint);
    std::vector<int> numbers(e.count);
    for (int n = 0; n < e.count; ++n) numbers[n] = n + 1;
    EXPECT_EQ(s.parameterNumbers, numbers) << "parameter table rows";
    EXPECT_TRUE(s.codes.count(plugin::kCodeSuccess));
    if (e.exceptionCode[0] != '\0') {
      EXPECT_TRUE(s.codes.count(e.exceptionCode)) << e.exceptionCode;
    }
    // Every action but Delete reports a missing window (actions not built yet will, too).
    if (e.framed != nullptr || e.raw == nullptr) {
      EXPECT_TRUE(s.codes.count(plugin::kCodeNoWindow));
    }
    for (const std::string& c : s.codes) EXPECT_TRUE(known.count(c)) << c << " is no code";
    ASSERT_EQ(s.examples.size(), 1u) << "one example";
    EXPECT_EQ(s.examples[0].rfind(std::string(e.name) + " \"Rect1\"", 0), 0u) << s.examples[0];
  }
}

// Runs script text; the number of failed expectations, or -1 for a malformed script.
int RunScript(nbhost::HostServices& host, const std::string& text, const std::string& file,
              std::ostream& out) {
  nbhost::ScriptRunner runner(host, out);
  try {
    return runner.Run(nbhost::ReadScript(text, file));
  } catch (const nbhost::ScriptError& error) {
    out << error.what() << "\n";
    return -1;
  }
}

// The substitute host on the built plug-in, with the files the examples use in the current
// directory: a workbook "prices.xls" and a store "library.sfs" under the password "secret".
class DocumentedScripts : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.Load(SS_PLUGIN_PATH);
    host_.Start();
  }

  int Run(const std::string& text, const std::string& file) {
    return RunScript(host_, text, file, out_);
  }

  void MakeExampleFiles() {
    { store::TSingleFileSystem fs("library.sfs", store::kModeCreate, "secret"); }
    ASSERT_EQ(Run("Rectangle \"Rect1\" 0 0 400 300\n"
                  "zkSpreadSheetCreate \"Rect1\"\n"
                  "zkSpreadSheetSetCellByName \"Rect1\" \"A1\" \"Price\"\n"
                  "zkSpreadSheetSave \"Rect1\" \"prices.xls\"\nExpectResult true\n"
                  "zkSpreadSheetSaveToStream \"Rect1\" \"library.sfs\" \"Prices\" \"secret\" "
                  "\"1\"\nExpectResult true\n",
                  "prelude.nbs"),
              0)
        << out_.str();
  }

  nbhost::HostServices host_;
  std::ostringstream out_;
};

TEST_F(DocumentedScripts, EveryActionExampleSucceedsOnAFreshWindow) {
  MakeExampleFiles();
  for (const Section& s : ReadReference().sections) {
    if (s.examples.empty()) continue;
    const plugin::ActionEntry* entry = plugin::FindAction(s.id);
    // An action not built yet answers false without a code; its example runs once it is.
    if (entry == nullptr || !entry->IsBuilt()) continue;
    // The window holds one value: a sheet without any has nothing to print or set up.
    const std::string script =
        "zkSpreadSheetCreate \"Rect1\"\n"
        "zkSpreadSheetSetCellByName \"Rect1\" \"A1\" \"Price\"\n" +
        s.examples[0] + "ExpectResult true\nExpect \"[zkSSHError]\" \"zkSSH-000\"\n";
    EXPECT_EQ(Run(script, "docs/actions.md " + s.name), 0) << out_.str();
  }
}

TEST_F(DocumentedScripts, EveryFramedActionAnswersNoWindowForAnUnknownRectangle) {
  for (const plugin::ActionEntry& e : plugin::Catalogue()) {
    if (e.framed == nullptr) continue;
    std::vector<std::optional<std::string>> params(e.count);
    params[0] = "NoSuchRect";
    EXPECT_FALSE(host_.Execute(e.id, params)) << e.name;
    EXPECT_EQ(host_.Variable("[zkSSHError]"), plugin::kCodeNoWindow) << e.name;
  }
}

}  // namespace
