// The real plug-in DLL called exactly as the host calls it: registers and pushes by the
// hand-written thunk, callbacks received by hand-written entry points. Tests run in the
// order of the host's start-up; the library is loaded once for the whole program, as the
// host loads it once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "HostAbiHarness.h"
#include "platform/DynamicLibrary.h"
#include "platform/HostWindow.h"

using hostabi::Host;

namespace {

constexpr const char* kExports[] = {"nbInitPlugIn",
                                    "nbRegisterPlugIn",
                                    "nbRegisterScriptProcessor",
                                    "nbRegisterInterfaceAccess",
                                    "nbExecAction",
                                    "nbEditAction",
                                    "nbMessage"};

std::string EnvOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

platform::DynamicLibrary& PlugIn() {
  static platform::DynamicLibrary library(EnvOr("SS_PLUGIN_PATH", "zkSpreadSheet2.nbp"));
  return library;
}

void* Export(const char* name) { return PlugIn().RequireSymbol(name); }

uint32_t Word(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// Calls an export with the host's convention and checks what every call must keep.
HostCallResult Call(const char* name, std::vector<uint32_t> args) {
  uint32_t count = static_cast<uint32_t>(args.size());
  while (args.size() < 3) args.push_back(0);
  HostCallResult r{};
  HostCall(Export(name), args.data(), count, &r);
  EXPECT_EQ(r.espDelta, 0) << name << " left the stack unbalanced by " << r.espDelta << " bytes";
  EXPECT_EQ(r.ebx, hostabi::kSentinelEbx) << name << " lost EBX";
  EXPECT_EQ(r.esi, hostabi::kSentinelEsi) << name << " lost ESI";
  EXPECT_EQ(r.edi, hostabi::kSentinelEdi) << name << " lost EDI";
  return r;
}

bool AL(const HostCallResult& r) { return (r.eax & 0xFF) != 0; }

struct CatalogueRow {
  int32_t id;
  std::string name, hint;
  uint32_t count;
  std::string kinds;  // decimal digits, one per byte
};

std::vector<CatalogueRow> ExpectedCatalogue() {
  std::string path = EnvOr("SS_TEST_DATA", "tests/data") + "/plugin/catalogue.tsv";
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::vector<CatalogueRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> f;
    std::stringstream split(line);
    for (std::string cell; std::getline(split, cell, '\t');) f.push_back(cell);
    if (line.back() == '\t') f.emplace_back();
    EXPECT_EQ(f.size(), 5u) << "bad catalogue line: " << line;
    if (f.size() != 5) continue;
    rows.push_back({std::stoi(f[0]), f[1], f[2], static_cast<uint32_t>(std::stoul(f[3])), f[4]});
  }
  return rows;
}

std::string Digits(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) out += std::to_string(b);
  return out;
}

std::vector<uint32_t> ExecArgs(int32_t id, const char* const* params) {
  return {static_cast<uint32_t>(id), Word(params)};
}

}  // namespace

TEST(PlugInAbi, EveryExportIsThereByItsUndecoratedName) {
  for (const char* name : kExports) {
    EXPECT_NE(PlugIn().Symbol(name), nullptr) << name;
    // A decorated twin would mean the .def file was bypassed.
    EXPECT_EQ(PlugIn().Symbol(std::string("_") + name), nullptr) << name;
  }
  EXPECT_EQ(PlugIn().Symbol("nbMessage@4"), nullptr);
}

TEST(PlugInAbi, InitPlugInFillsThreeHostStrings) {
  char* title = nullptr;
  char* publisher = nullptr;
  char* hint = nullptr;
  Call("nbInitPlugIn", {12345u, Word(&title), Word(&publisher), Word(&hint)});
  ASSERT_NE(title, nullptr);
  ASSERT_NE(publisher, nullptr);
  ASSERT_NE(hint, nullptr);
  EXPECT_STREQ(title, "zkSpreadSheet [2.01]");
  EXPECT_STREQ(hint, "SpreadSheet PlugIn for NeoBook");
  // The host frees them with the system's allocator: they must be global memory blocks.
  EXPECT_GE(hostabi::GlobalBlockSize(title), std::strlen(title) + 1);
  EXPECT_GE(hostabi::GlobalBlockSize(publisher), std::strlen(publisher) + 1);
  EXPECT_GE(hostabi::GlobalBlockSize(hint), std::strlen(hint) + 1);
  // A second call frees the old texts and assigns new ones: the variables stay valid.
  Call("nbInitPlugIn", {0u, Word(&title), Word(&publisher), Word(&hint)});
  EXPECT_STREQ(title, "zkSpreadSheet [2.01]");
  EXPECT_GE(hostabi::GlobalBlockSize(hint), std::strlen(hint) + 1);
  hostabi::GlobalFreeBlock(title);
  hostabi::GlobalFreeBlock(publisher);
  hostabi::GlobalFreeBlock(hint);
}

TEST(PlugInAbi, RegisterPlugInAnnouncesTheCatalogueAsTheHostReceivesIt) {
  Host().announcements.clear();
  // The second pointer is stored and never called: a value that would crash if called.
  Call("nbRegisterPlugIn", {Word(reinterpret_cast<void*>(&AddActionEntry)), 0xDEAD0001u,
                            Word(reinterpret_cast<void*>(&GetVariableEntry)),
                            Word(reinterpret_cast<void*>(&SetVariableEntry))});
  std::vector<CatalogueRow> expected = ExpectedCatalogue();
  const auto& got = Host().announcements;
  ASSERT_EQ(expected.size(), 54u);
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) {
    const auto& a = got[i];
    const auto& e = expected[i];
    SCOPED_TRACE("call " + std::to_string(i + 1) + ": " + e.name);
    EXPECT_EQ(a.id, e.id);
    EXPECT_EQ(a.name, e.name);
    EXPECT_EQ(a.hint, e.hint);
    EXPECT_EQ(a.count, e.count);
    EXPECT_FALSE(a.kindsAddressNull);
    EXPECT_EQ(Digits(a.kinds), e.kinds);
    if (e.id == 0) {
      EXPECT_EQ(a.lastIndex, 0) << "a heading passes the one-byte array {0}";
    } else {
      EXPECT_EQ(a.lastIndex, static_cast<int32_t>(e.count) - 1);
      EXPECT_EQ(a.kinds, std::vector<uint8_t>(e.count, 1));
    }
  }
  EXPECT_TRUE(Host().writes.empty()) << "registration must not write host variables";
}

TEST(PlugInAbi, RegisterScriptProcessorAndInterfaceAccessKeepTheStack) {
  Call("nbRegisterScriptProcessor", {0xDEAD0002u});
  Call("nbRegisterInterfaceAccess", {Word(reinterpret_cast<void*>(&InterfaceAccessEntry))});
  EXPECT_TRUE(Host().requests.empty()) << "registration must not send requests";
}

TEST(PlugInAbi, UnknownIdsAnswerFalseAndChangeNothing) {
  Host().writes.clear();
  Host().requests.clear();
  const char* params[8] = {"Rect1", "1", "2", "3", nullptr, nullptr, nullptr, nullptr};
  char* editParams[8] = {};
  for (int32_t id : {0, 3, 200, -1, 44, 99}) {
    SCOPED_TRACE("id " + std::to_string(id));
    EXPECT_FALSE(AL(Call("nbExecAction", ExecArgs(id, params))));
    EXPECT_FALSE(AL(Call("nbEditAction", {static_cast<uint32_t>(id), Word(editParams)})));
  }
  for (char* p : editParams) EXPECT_EQ(p, nullptr) << "parameters of an unknown id were replaced";
  EXPECT_TRUE(Host().writes.empty());
  EXPECT_TRUE(Host().requests.empty());
}

TEST(PlugInAbi, CreateTalksToTheHostThroughEveryCallback) {
  // Without an answer to the probe Create refuses and says so in the result variable.
  Host().writes.clear();
  Host().requests.clear();
  Host().probeAnswer = false;
  const char* rect1[1] = {"Rect1"};
  EXPECT_FALSE(AL(Call("nbExecAction", ExecArgs(1, rect1))));
  ASSERT_FALSE(Host().requests.empty());
  EXPECT_EQ(Host().requests[0].code, 6);
  EXPECT_TRUE(Host().requests[0].dataNull) << "the probe carries no text";
  EXPECT_EQ(Host().variables["[zkSSHError]"], "zkSSH-014");

  // A null parameter reads as the empty name; the host knows no such rectangle (handle 0).
  Host().writes.clear();
  Host().requests.clear();
  Host().probeAnswer = true;
  Host().rectAnswer = "0";
  const char* nullName[1] = {nullptr};
  EXPECT_FALSE(AL(Call("nbExecAction", ExecArgs(1, nullName))));
  ASSERT_EQ(Host().requests.size(), 2u);
  EXPECT_EQ(Host().requests[1].code, 7);
  EXPECT_FALSE(Host().requests[1].dataNull);
  EXPECT_EQ(Host().requests[1].data, "");
  ASSERT_FALSE(Host().writes.empty());
  EXPECT_EQ(Host().writes.front(), std::make_pair(std::string("[zkSSHError]"), std::string()));
  EXPECT_EQ(Host().writes.back().second, "zkSSH-001");

  // A real rectangle window: the request names it, and the answer is a live handle.
  auto frame = platform::HostWindow::CreateTopLevel("abi host", 400, 300);
  auto rect = frame->CreateChild("Rect1", 10, 10, 200, 100);
  Host().writes.clear();
  Host().requests.clear();
  Host().rectAnswer = std::to_string(rect->Handle());
  bool created = AL(Call("nbExecAction", ExecArgs(1, rect1)));
  ASSERT_EQ(Host().requests.size(), 2u);
  EXPECT_EQ(Host().requests[1].data, "Rect1");
  ASSERT_FALSE(Host().writes.empty());
  const std::string code = Host().variables["[zkSSHError]"];
  if (created) {
    EXPECT_EQ(code, "zkSSH-000");
    Host().writes.clear();
    EXPECT_TRUE(AL(Call("nbExecAction", ExecArgs(2, rect1))));
    EXPECT_EQ(Host().variables["[zkSSHError]"], "zkSSH-000");
  } else {
    // The spreadsheet window is not part of this build yet: Create must say so honestly.
    EXPECT_EQ(code, "zkSSH-015");
  }
  platform::HostWindow::ProcessMessages();
}

TEST(PlugInAbi, ShutdownMessageIsHarmlessAndRepeatable) {
  Host().writes.clear();
  Call("nbMessage", {2u});
  Call("nbMessage", {2u});
  Call("nbMessage", {7u});
  EXPECT_TRUE(Host().writes.empty());
  // Delete after shutdown finds nothing and says nothing more than the emptied result code.
  const char* rect1[1] = {"Rect1"};
  EXPECT_FALSE(AL(Call("nbExecAction", ExecArgs(2, rect1))));
}
