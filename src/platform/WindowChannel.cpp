// The portable window system's one instance: a registry of windows (parent, name,
// geometry, input driver), the focus window, the queue of dialog answers and the log of
// dialogs shown. See WindowChannel.h for the protocol. Plain portable code: the portable
// host windows live here, and the headless toolkit uses it on every build.
#include "platform/WindowChannel.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct WindowRecord {
  uintptr_t parent = 0;
  std::string name;
  int32_t x = 0, y = 0, width = 0, height = 0;
  SSWindowDriver driver{};
  void* context = nullptr;
};

// Handles start well above small integers so that a stray "1" or "2" never names a window.
constexpr uintptr_t kFirstHandle = 0x10000;

struct State {
  std::map<uintptr_t, WindowRecord> windows;
  uintptr_t next = kFirstHandle;
  uintptr_t focus = 0;
  std::deque<std::pair<std::string, std::string>> answers;
  std::vector<std::string> log;
};

State& S() {
  static State state;
  return state;
}

WindowRecord* Find(uintptr_t handle) {
  auto found = S().windows.find(handle);
  return found == S().windows.end() ? nullptr : &found->second;
}

uintptr_t MakeWindow(uintptr_t parent, const char* name, int32_t x, int32_t y, int32_t w,
                     int32_t h) {
  if (w < 0 || h < 0) return 0;
  if (parent != 0 && Find(parent) == nullptr) return 0;
  uintptr_t handle = S().next++;
  WindowRecord record;
  record.parent = parent;
  record.name = name != nullptr ? name : "";
  record.x = x;
  record.y = y;
  record.width = w;
  record.height = h;
  S().windows.emplace(handle, std::move(record));
  return handle;
}

void DestroyWindow(uintptr_t handle) {
  std::vector<uintptr_t> doomed{handle};
  for (size_t i = 0; i < doomed.size(); ++i) {
    for (const auto& [child, record] : S().windows) {
      if (record.parent == doomed[i]) doomed.push_back(child);
    }
  }
  for (uintptr_t h : doomed) {
    S().windows.erase(h);
    if (S().focus == h) S().focus = 0;
  }
}

int32_t GetGeometry(uintptr_t handle, SSWindowGeometry* out) {
  const WindowRecord* record = Find(handle);
  if (record == nullptr || out == nullptr) return 0;
  *out = SSWindowGeometry{record->parent, record->x, record->y, record->width, record->height};
  return 1;
}

int32_t SetGeometry(uintptr_t handle, int32_t x, int32_t y, int32_t w, int32_t h) {
  WindowRecord* record = Find(handle);
  if (record == nullptr || w < 0 || h < 0) return 0;
  record->x = x;
  record->y = y;
  record->width = w;
  record->height = h;
  return 1;
}

size_t Children(uintptr_t parent, uintptr_t* out, size_t capacity) {
  size_t count = 0;
  // std::map orders by handle, and handles grow: creation order.
  for (const auto& [handle, record] : S().windows) {
    if (record.parent != parent) continue;
    if (out != nullptr && count < capacity) out[count] = handle;
    ++count;
  }
  return count;
}

int32_t SetDriver(uintptr_t handle, const SSWindowDriver* driver, void* context) {
  WindowRecord* record = Find(handle);
  if (record == nullptr) return SS_NO_WINDOW;
  record->driver = SSWindowDriver{};
  record->context = nullptr;
  if (driver != nullptr && driver->size >= sizeof(SSWindowDriver)) {
    record->driver = *driver;
    record->context = context;
  }
  return SS_OK;
}

int32_t SendInput(uintptr_t handle, const SSInputEvent* event) {
  WindowRecord* record = Find(handle);
  if (record == nullptr) return SS_NO_WINDOW;
  if (record->driver.input == nullptr) return SS_NO_DRIVER;
  if (event == nullptr) return SS_BAD_INPUT;
  // Copy: the driver may destroy the window (a click on a close button).
  SSWindowDriver driver = record->driver;
  return driver.input(record->context, event);
}

int32_t Snapshot(uintptr_t handle, const char* path) {
  WindowRecord* record = Find(handle);
  if (record == nullptr) return SS_NO_WINDOW;
  if (record->driver.snapshot == nullptr) return SS_NO_DRIVER;
  if (path == nullptr) return SS_FAILED;
  SSWindowDriver driver = record->driver;
  return driver.snapshot(record->context, path);
}

void SetFocusWindow(uintptr_t handle) {
  S().focus = (handle == 0 || Find(handle) != nullptr) ? handle : 0;
}

uintptr_t FocusWindow() { return S().focus; }

void PushAnswer(const char* button, const char* value) {
  S().answers.emplace_back(button != nullptr ? button : "", value != nullptr ? value : "");
}

int32_t PopAnswer(SSAnswerSink sink, void* context) {
  if (S().answers.empty()) return 0;
  auto answer = std::move(S().answers.front());
  S().answers.pop_front();
  if (sink != nullptr) sink(context, answer.first.c_str(), answer.second.c_str());
  return 1;
}

size_t PendingAnswers() { return S().answers.size(); }

void NoteDialog(const char* line) { S().log.emplace_back(line != nullptr ? line : ""); }

size_t DialogLog(SSTextSink sink, void* context) {
  if (sink != nullptr) {
    for (const std::string& line : S().log) sink(context, line.c_str());
  }
  return S().log.size();
}

const SSWindowSystemV1 kLocal{
    1,
    sizeof(SSWindowSystemV1),
    MakeWindow,
    DestroyWindow,
    GetGeometry,
    SetGeometry,
    Children,
    SetDriver,
    SendInput,
    Snapshot,
    SetFocusWindow,
    FocusWindow,
    PushAnswer,
    PopAnswer,
    PendingAnswers,
    NoteDialog,
    DialogLog,
};

const SSWindowSystemV1* Resolve() {
#ifndef _WIN32
  using ExportFn = const SSWindowSystemV1* (*)();
  // The executable's export wins; a table of another version or size is not used.
  void* symbol = dlsym(RTLD_DEFAULT, "ssWindowSystemV1");
  if (symbol != nullptr) {
    const SSWindowSystemV1* table = reinterpret_cast<ExportFn>(symbol)();
    if (table != nullptr && table->version == 1 && table->size >= sizeof(SSWindowSystemV1)) {
      return table;
    }
  }
#endif
  // Windows shares real windows instead; there the instance serves the headless backend of
  // one module (tests).
  return &kLocal;
}

}  // namespace

extern "C" const SSWindowSystemV1* ssWindowSystemV1Local(void) { return &kLocal; }

namespace platform {

const SSWindowSystemV1& WindowSystem() {
  static const SSWindowSystemV1* table = Resolve();
  return *table;
}

}  // namespace platform
