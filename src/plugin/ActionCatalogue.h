#pragma once
// The action catalogue: one table that both announces the actions to the host and
// dispatches the host's calls by id.
//
// Order matters: the host shows the actions in announcement order, and a category heading
// (id 0, the category name, empty hint, kinds {0}, count 0) is announced immediately before
// the first action of each category. Names, hints, ids and counts are part of the external
// interface and must never change; hints are byte-exact, blanks included.
//
// An action is either raw (it runs its own protocol, as Create and Delete do), framed (it
// runs inside the common action frame, see ActionFrame.h), or not built yet (both null):
// then executing it answers false and changes nothing.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "plugin/HostAbi.h"

namespace plugin {

class AttachedSpread;

// The action's parameters as texts, exactly as many as it declares; null entries and a null
// array read as empty texts. params[0] is the rectangle name.
using ActionParams = std::vector<std::string>;

struct ActionEntry;
using RawActionBody = bool (*)(const ActionEntry& entry, const ActionParams& params);
// Runs on the found window. Returns true for success (the frame then writes "zkSSH-000");
// false when the body has written its own outcome. Throws for the exception path.
using FramedActionBody = bool (*)(AttachedSpread& window, const ActionParams& params);
// Opens the action's editor on the host's parameter variables; true when they were replaced.
using ActionEditor = bool (*)(const ActionEntry& entry, HostString* params);

struct ActionEntry {
  const char* category;
  int32_t id;
  const char* name;
  const char* hint;
  uint8_t count;
  const char* exceptionCode;  // written when the body throws; empty: nothing is written
  RawActionBody raw;
  FramedActionBody framed;
  ActionEditor editor;

  bool IsBuilt() const { return raw != nullptr || framed != nullptr; }
};

// The 45 actions in announcement order.
std::span<const ActionEntry> Catalogue();

// The action with `id`; nullptr for 0 (headings are not actions) and every unassigned id.
const ActionEntry* FindAction(int32_t id);

// One announcement as the host receives it.
struct Announcement {
  int32_t id;
  std::string name;
  std::string hint;
  uint8_t count;
  std::vector<uint8_t> kinds;
};

// The 54 announcements (headings included) in call order.
std::vector<Announcement> Announcements();

// Makes the announcements through the host's AddActionProc; a null proc announces nothing.
void AnnounceCatalogue(AddActionProc add);

// Reads `count` parameters from the host's array.
ActionParams ReadParams(const char* const* params, uint8_t count);

}  // namespace plugin
