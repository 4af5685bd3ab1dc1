#include "plugin/SpreadWindows.h"

#include <optional>
#include <vector>

namespace plugin {

namespace {

using SpreadList = std::vector<std::unique_ptr<AttachedSpread>>;

std::optional<SpreadList>& List() {
  static std::optional<SpreadList> list;
  return list;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameRectName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool SpreadListExists() { return List().has_value(); }

int SpreadCount() { return List() ? static_cast<int>(List()->size()) : 0; }

int FindSpread(const std::string& rectName) {
  if (!List()) return -1;
  const SpreadList& list = *List();
  for (size_t i = 0; i < list.size(); ++i) {
    if (SameRectName(list[i]->RectName(), rectName)) return static_cast<int>(i);
  }
  return -1;
}

AttachedSpread* SpreadAt(int index) {
  if (!List() || index < 0 || index >= static_cast<int>(List()->size())) return nullptr;
  return (*List())[static_cast<size_t>(index)].get();
}

void AppendSpread(std::unique_ptr<AttachedSpread> window) {
  if (!List()) List().emplace();
  List()->push_back(std::move(window));
}

void RemoveSpread(int index) {
  AttachedSpread* window = SpreadAt(index);
  if (window == nullptr) return;
  window->Close();
  SpreadList& list = *List();
  std::unique_ptr<AttachedSpread> owned = std::move(list[static_cast<size_t>(index)]);
  list.erase(list.begin() + index);
  owned.reset();
}

void DestroyAllSpreads() {
  if (!List()) return;
  // Take the list out first: a window's teardown must never see a half-destroyed list.
  SpreadList list = std::move(*List());
  List().reset();
  for (auto& window : list) {
    try {
      window->Close();
    } catch (...) {
      // Closing failed; destroying it below still removes it.
    }
    window.reset();
  }
}

}  // namespace plugin
