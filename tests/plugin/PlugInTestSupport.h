#pragma once
// Shared by the plug-in tests: a recording host (callbacks declared with the host's calling
// convention), test windows, and a fixture that resets the plug-in's process-wide state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "plugin/ActionFrame.h"
#include "plugin/HostLink.h"
#include "plugin/HostString.h"
#include "plugin/PlugInServices.h"
#include "plugin/SpreadWindows.h"

namespace plugintest {

struct RecordingHost {
  std::vector<std::pair<std::string, std::string>> writes;
  std::vector<int32_t> requests;
  bool probeAnswers = true;
  std::string rectAnswer = "4242";
  std::vector<std::string> log;  // window life events, in order
};

inline RecordingHost& Recorder() {
  static RecordingHost host;
  return host;
}

inline void NB_CALL RecordSetVariable(const char* name, const char* value) {
  Recorder().writes.emplace_back(plugin::TextOf(name), plugin::TextOf(value));
}

inline plugin::NBBool NB_CALL RecordAccess(int32_t code, plugin::HostString* data) {
  Recorder().requests.push_back(code);
  if (code == plugin::kAccessProbe) {
    if (Recorder().probeAnswers) plugin::AssignHostString(*data, "1");
    return Recorder().probeAnswers ? 1 : 0;
  }
  if (code == plugin::kAccessRectWindow) {
    plugin::AssignHostString(*data, Recorder().rectAnswer);
    return 1;
  }
  return 0;
}

class TestSpread : public plugin::AttachedSpread {
 public:
  TestSpread(std::string name, platform::WindowHandle parent)
      : name_(std::move(name)), parent_(parent) {}
  ~TestSpread() override { Recorder().log.push_back("destroy " + name_); }
  const std::string& RectName() const override { return name_; }
  void Close() override {
    Recorder().log.push_back("close " + name_);
    if (failClose_) throw std::runtime_error("close failed");
  }
  platform::WindowHandle Parent() const { return parent_; }
  bool failClose_ = false;

 private:
  std::string name_;
  platform::WindowHandle parent_;
};

inline std::unique_ptr<plugin::AttachedSpread> MakeTestSpread(const std::string& name,
                                                              platform::WindowHandle parent) {
  Recorder().log.push_back("create " + name + " in " + std::to_string(parent));
  return std::make_unique<TestSpread>(name, parent);
}

inline std::unique_ptr<plugin::AttachedSpread> FailingFactory(const std::string&,
                                                              platform::WindowHandle) {
  throw std::runtime_error("cannot build the window");
}

// Every test starts from a freshly loaded plug-in: composed as the library composes itself
// (no window layer yet), no callbacks, no windows.
class PlugInTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    plugin::DestroyAllSpreads();
    plugin::Host() = plugin::HostCallbacks{};
    plugin::ComposePlugin();
    Recorder() = RecordingHost{};
  }
  // The plug-in's own services with the test's window factory in place of the window layer's.
  static void UseSpreadFactory(plugin::SpreadFactory factory) {
    plugin::PlugInServices services = plugin::PlugInComposition();
    services.spreadFactory = factory;
    plugin::InstallPlugInServices(std::move(services));
  }
  static void ConnectHost() {
    plugin::Host().setVariable = &RecordSetVariable;
    plugin::Host().interfaceAccess = &RecordAccess;
  }
  static std::vector<std::pair<std::string, std::string>>& Writes() { return Recorder().writes; }
  static std::vector<std::string>& Log() { return Recorder().log; }
};

inline std::string TestDataPath(const std::string& relative) {
  const char* root = std::getenv("SS_TEST_DATA");
  return std::string(root != nullptr ? root : "tests/data") + "/" + relative;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace plugintest
