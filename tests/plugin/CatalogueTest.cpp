// The catalogue as the host receives it, and lookups by id.
#include <set>

#include "PlugInTestSupport.h"
#include "plugin/ActionCatalogue.h"

namespace {

using plugintest::ReadLines;
using plugintest::TestDataPath;

std::vector<std::string>& Received() {
  static std::vector<std::string> lines;
  return lines;
}

// Formats each call exactly as the substitute host prints it.
void Record(int32_t id, const char* name, const char* hint, const uint8_t* kinds, int32_t last,
            uint32_t count) {
  std::string line =
      std::to_string(id) + "\t" + name + "\t" + hint + "\t" + std::to_string(count) + "\t";
  for (int32_t i = 0; i <= last; ++i) line += std::to_string(kinds[i]);
  Received().push_back(line);
}

#if NB_REVERSED_STACK
void NB_CALL OnAdd(int32_t id, const char* name, const char* hint, uint32_t count, int32_t last,
                   const uint8_t* kinds) {
  Record(id, name, hint, kinds, last, count);
}
#else
void NB_CALL OnAdd(int32_t id, const char* name, const char* hint, const uint8_t* kinds,
                   int32_t last, uint32_t count) {
  Record(id, name, hint, kinds, last, count);
}
#endif

TEST(Catalogue, AnnouncementsMatchTheExpectedFileByteForByte) {
  Received().clear();
  plugin::AnnounceCatalogue(&OnAdd);
  std::vector<std::string> expected = ReadLines(TestDataPath("plugin/catalogue.tsv"));
  ASSERT_EQ(expected.size(), 54u) << "expected catalogue file missing or short";
  ASSERT_EQ(Received().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(Received()[i], expected[i]) << "call " << i;
}

TEST(Catalogue, HeadingsPrecedeEachCategoryAndHaveOneZeroKind) {
  std::vector<plugin::Announcement> rows = plugin::Announcements();
  std::vector<std::string> headings;
  for (const auto& row : rows) {
    if (row.id == 0) {
      headings.push_back(row.name);
      EXPECT_EQ(row.hint, "");
      EXPECT_EQ(row.count, 0);
      EXPECT_EQ(row.kinds, std::vector<uint8_t>{0});
    } else {
      EXPECT_EQ(row.kinds.size(), row.count) << row.name;
      for (uint8_t kind : row.kinds) EXPECT_EQ(kind, 1) << row.name;
    }
  }
  EXPECT_EQ(headings, (std::vector<std::string>{"Basic", "Interface", "Colors", "File", "Sheets",
                                                "Cells", "Dialogs", "Print", "Helper"}));
}

TEST(Catalogue, IdsAreUniqueAndFoundByIdOnly) {
  std::set<int32_t> ids;
  for (const plugin::ActionEntry& entry : plugin::Catalogue()) {
    EXPECT_TRUE(ids.insert(entry.id).second) << "duplicate id " << entry.id;
    EXPECT_EQ(plugin::FindAction(entry.id), &entry);
  }
  EXPECT_EQ(ids.size(), 45u);
  // Headings and unassigned ids are not actions.
  for (int32_t id : {0, 3, 4, 32, 33, 44, 49, 51, 55, 59, 99, 102, 200, -1}) {
    EXPECT_EQ(plugin::FindAction(id), nullptr) << id;
  }
}

TEST(Catalogue, ExceptionCodesFollowTheActionFamilies) {
  auto code = [](int32_t id) { return std::string(plugin::FindAction(id)->exceptionCode); };
  EXPECT_EQ(code(1), "zkSSH-015");
  EXPECT_EQ(code(2), "");
  EXPECT_EQ(code(5), "zkSSH-026");   // switch
  EXPECT_EQ(code(21), "zkSSH-026");  // colour
  EXPECT_EQ(code(38), "zkSSH-026");  // undo
  EXPECT_EQ(code(58), "zkSSH-026");  // print headers
  EXPECT_EQ(code(6), "zkSSH-003");   // load
  EXPECT_EQ(code(41), "zkSSH-003");  // row height
  EXPECT_EQ(code(26), "zkSSH-003");  // set visible
  EXPECT_EQ(code(100), "zkSSH-051");
  EXPECT_EQ(code(101), "zkSSH-049");
}

TEST(Catalogue, ReadParamsTakesTheDeclaredCountAndReadsNullAsEmpty) {
  const char* params[] = {"Rect1", nullptr, "x", "not read"};
  EXPECT_EQ(plugin::ReadParams(params, 3), (plugin::ActionParams{"Rect1", "", "x"}));
  EXPECT_EQ(plugin::ReadParams(nullptr, 2), (plugin::ActionParams{"", ""}));
}

}  // namespace
