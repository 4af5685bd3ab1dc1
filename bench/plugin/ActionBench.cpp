// Host action benchmark: a plain program printing one table. It calls the plug-in the way
// the host does, through the exported nbExecAction with the host's parameter arrays and a
// host that keeps the variables written, and compares:
//   - 100,000 SetCellByName actions on an attached window against 100,000 direct cell-object
//     writes of the same texts into the same window's book (the cost of the host action
//     frame: finding the window, reading the parameters, the variable writes, the view);
//   - one Create + Delete of a window, averaged over 1,000 cycles, with the process's
//     resident memory before and after the cycles.
//
//   action_bench [--repeat R] [--cells N]     defaults: 5 repeats, 100000 cells
//
// Every figure is the best of R runs taken in turns: on a shared machine the fastest run is
// the one least disturbed by other work.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/WindowChannel.h"
#include "plugin/HostAbi.h"
#include "plugin/HostLink.h"
#include "plugin/HostString.h"
#include "plugin/SpreadWindows.h"
#include "plugin/TNeoSpread.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"

extern "C" plugin::NBBool NB_CALL nbExecAction(int32_t id, const char* const* params);

namespace {

constexpr int32_t kCreate = 1;
constexpr int32_t kDelete = 2;
constexpr int32_t kNew = 8;
constexpr int32_t kSetCellByName = 42;

std::map<std::string, std::string>& Variables() {
  static std::map<std::string, std::string> variables;
  return variables;
}
uintptr_t rectangleWindow = 0;

void NB_CALL SetVariable(const char* name, const char* value) {
  Variables()[plugin::TextOf(name)] = plugin::TextOf(value);
}

plugin::NBBool NB_CALL Access(int32_t code, plugin::HostString* data) {
  if (code == plugin::kAccessProbe) {
    plugin::AssignHostString(*data, "1");
    return 1;
  }
  if (code == plugin::kAccessRectWindow) {
    plugin::AssignHostString(*data, std::to_string(rectangleWindow));
    return 1;
  }
  return 0;
}

bool Exec(int32_t id, std::vector<std::string> texts) {
  std::vector<const char*> params;
  for (const std::string& t : texts) params.push_back(t.c_str());
  params.push_back(nullptr);
  return nbExecAction(id, params.data()) != 0;
}

std::string CellName(long i) {
  // 26 columns A..Z, rows from 1 down.
  return std::string(1, char('A' + i % 26)) + std::to_string(i / 26 + 1);
}
std::string CellText(long i) {
  switch (i % 4) {
    case 0:
      return std::to_string(i);
    case 1:
      return "item " + std::to_string(i);
    case 2:
      return std::to_string(i) + ".25";
    default:
      return "=A" + std::to_string(i / 26 + 1) + "*2";
  }
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

plugin::TNeoSpread& Window() {
  return plugin::SpreadOf(*plugin::SpreadAt(plugin::FindSpread("Rect1")));
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  long cells = 100000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--repeat") {
      repeat = std::max(1, std::atoi(argv[i + 1]));
    } else if (option == "--cells") {
      cells = std::max(1L, std::atol(argv[i + 1]));
    } else {
      std::fprintf(stderr, "usage: action_bench [--repeat R] [--cells N]\n");
      return 2;
    }
  }
  plugin::Host().setVariable = &SetVariable;
  plugin::Host().interfaceAccess = &Access;
  rectangleWindow = platform::WindowSystem().create_window(0, "Rect1", 0, 0, 800, 600);
  if (!Exec(kCreate, {"Rect1"})) {
    std::fprintf(stderr, "action_bench: Create failed: %s\n", Variables()["[zkSSHError]"].c_str());
    return 1;
  }
  std::vector<std::string> names, texts;
  for (long i = 0; i < cells; ++i) {
    names.push_back(CellName(i));
    texts.push_back(CellText(i));
  }
  using Clock = std::chrono::steady_clock;
  double actionMs = 1e300, directMs = 1e300;
  for (int run = 0; run < repeat; ++run) {
    Exec(kNew, {"Rect1", ""});
    Clock::time_point start = Clock::now();
    for (long i = 0; i < cells; ++i) {
      if (!Exec(kSetCellByName, {"Rect1", names[size_t(i)], texts[size_t(i)]})) {
        std::fprintf(stderr, "action_bench: SetCellByName %s failed\n", names[size_t(i)].c_str());
        return 1;
      }
    }
    actionMs = std::min(actionMs, Ms(Clock::now() - start));

    Exec(kNew, {"Rect1", ""});
    workbook::TSSBookSheet& sheet = *Window().Book().ActiveSheet();
    start = Clock::now();
    for (long i = 0; i < cells; ++i) {
      sheet.CellObject(int32_t(i % 26), int32_t(i / 26))->SetText(texts[size_t(i)]);
    }
    directMs = std::min(directMs, Ms(Clock::now() - start));
  }
  Exec(kDelete, {"Rect1"});

  constexpr int kCycles = 1000;
  const long residentBefore = ResidentKiB();
  double cycleMs = 1e300;
  for (int run = 0; run < std::min(repeat, 3); ++run) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kCycles; ++i) {
      if (!Exec(kCreate, {"Rect1"}) || !Exec(kDelete, {"Rect1"})) {
        std::fprintf(stderr, "action_bench: Create/Delete cycle %d failed\n", i);
        return 1;
      }
    }
    cycleMs = std::min(cycleMs, Ms(Clock::now() - start) / kCycles);
  }
  const long residentAfter = ResidentKiB();

  std::printf("| measurement | ms | ratio |\n|---|---|---|\n");
  std::printf("| %ld SetCellByName through nbExecAction | %.1f | %.2fx direct |\n", cells, actionMs,
              actionMs / directMs);
  std::printf("| %ld direct cell-object writes | %.1f | 1.00x |\n", cells, directMs);
  std::printf("| Create + Delete of a window (mean of %d) | %.3f | |\n", kCycles, cycleMs);
  std::printf("\nresident memory around %d cycles per run: %ld KiB before, %ld KiB after\n",
              kCycles, residentBefore, residentAfter);
  return 0;
}
