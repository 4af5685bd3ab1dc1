#pragma once
// The substitute host's services: it loads the plug-in, makes the four start-up calls,
// records the catalogue as announced, keeps the host variables, owns the rectangles'
// windows and answers interface requests.
//
// The plug-in's callbacks carry no context, so one HostServices at a time is "current" and
// the callbacks reach it through a process-wide pointer; constructing a second one while the
// first lives is refused. No exception leaves a callback: a failing callback is counted in
// `CallbackFailures()` and answers as a host without the data would.
//
// Variable names keep their brackets and are compared ASCII case-insensitively, as authors
// write them in any letter case; a name keeps the spelling of its first write.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/HostWindow.h"
#include "plugin/HostAbi.h"

namespace nbhost {

struct CatalogueRow {
  int32_t id = 0;
  std::string name;
  std::string hint;
  uint32_t count = 0;
  std::vector<uint8_t> kinds;
};

// The line `--catalogue` prints: id, name, hint, count, kinds as digits, tab-separated.
std::string FormatCatalogueRow(const CatalogueRow& row);

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

enum class WriteSource { PlugIn, Script };

// Called for every variable write, in order.
using WriteObserver =
    std::function<void(const std::string& name, const std::string& value, WriteSource source)>;

class HostServices {
 public:
  HostServices();
  ~HostServices();
  HostServices(const HostServices&) = delete;
  HostServices& operator=(const HostServices&) = delete;

  // Loads the library and resolves the seven exports. Throws DynamicLibraryError.
  void Load(const std::string& path);
  // nbInitPlugIn, nbRegisterPlugIn, nbRegisterScriptProcessor, nbRegisterInterfaceAccess.
  void Start();
  // nbMessage(code); Stop() sends the shutdown code once, before the library is unloaded.
  void Message(int32_t code);
  void Stop();

  const std::vector<CatalogueRow>& Catalogue() const { return catalogue_; }
  // The announced action with this name (headings excluded); nullptr when none.
  const CatalogueRow* FindAction(const std::string& name) const;

  // nbExecAction with the texts; missing entries (nullopt) travel as null pointers.
  bool Execute(int32_t id, const std::vector<std::optional<std::string>>& params);

  // nbEditAction on host-owned parameter variables holding the texts (exactly the declared
  // count; missing ones start empty). On true, `params` receives the edited texts.
  bool Edit(int32_t id, std::vector<std::string>& params);

  void SetVariable(const std::string& name, const std::string& value, WriteSource source);
  // Empty for a variable never written.
  std::string Variable(const std::string& name) const;
  bool HasVariable(const std::string& name) const;
  void SetWriteObserver(WriteObserver observer) { observer_ = std::move(observer); }

  // Declares a rectangle and gives it a child window of the host window.
  void AddRectangle(const std::string& name, int x, int y, int w, int h);
  bool HasRectangle(const std::string& name) const;
  // Decimal handle text, "0" for an unknown rectangle.
  std::string RectangleHandleText(const std::string& name) const;

  // The answer of the next object-picker request; without one the author "cancels".
  void QueuePickAnswer(const std::string& name) { pickAnswers_.push_back(name); }
  size_t PendingPickAnswers() const { return pickAnswers_.size(); }

  // Serves one interface request as the callback does (public for tests).
  bool ServeInterfaceRequest(int32_t code, plugin::HostString* data);

  const std::string& Title() const { return title_; }
  const std::string& Publisher() const { return publisher_; }
  const std::string& Hint() const { return hint_; }
  int CallbackFailures() const { return callbackFailures_; }

  static HostServices* Current();

  // The callbacks handed to the plug-in.
  static void NB_CALL OnSetVariable(const char* name, const char* value);
  static void NB_CALL OnGetVariable(const char* name, plugin::HostString* value);
  static plugin::NBBool NB_CALL OnInterfaceAccess(int32_t code, plugin::HostString* data);
#if NB_REVERSED_STACK
  static void NB_CALL OnAddAction(int32_t id, const char* name, const char* hint, uint32_t count,
                                  int32_t kindsLastIndex, const uint8_t* kinds);
#else
  static void NB_CALL OnAddAction(int32_t id, const char* name, const char* hint,
                                  const uint8_t* kinds, int32_t kindsLastIndex, uint32_t count);
#endif

 private:
  struct Exports {
    nbInitPlugInFn init = nullptr;
    nbRegisterPlugInFn registerPlugIn = nullptr;
    nbRegisterScriptProcessorFn registerScript = nullptr;
    nbRegisterInterfaceAccessFn registerAccess = nullptr;
    nbExecActionFn exec = nullptr;
    nbEditActionFn edit = nullptr;
    nbMessageFn message = nullptr;
  };

  void RecordAction(int32_t id, const char* name, const char* hint, const uint8_t* kinds,
                    int32_t kindsLastIndex, uint32_t count);
  platform::HostWindow& HostWindow();

  std::unique_ptr<platform::DynamicLibrary> library_;
  Exports exports_;
  bool started_ = false;
  bool stopped_ = false;
  std::vector<CatalogueRow> catalogue_;
  std::map<std::string, std::string, NoCaseLess> variables_;
  WriteObserver observer_;
  std::unique_ptr<platform::HostWindow> hostWindow_;
  std::map<std::string, std::unique_ptr<platform::HostWindow>, NoCaseLess> rectangles_;
  std::deque<std::string> pickAnswers_;
  std::string title_, publisher_, hint_;
  int callbackFailures_ = 0;
};

}  // namespace nbhost
