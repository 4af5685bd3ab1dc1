#include "HostServices.h"

#include <cstring>
#include <stdexcept>

#include "platform/HostMemory.h"

namespace nbhost {

namespace {

HostServices* current = nullptr;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Replaces a HostString the plug-in owns; it frees the block with the same allocator.
void AssignHostText(plugin::HostString* variable, const std::string& text) {
  char* block = platform::HostAlloc(text.size() + 1);
  if (block == nullptr) throw std::bad_alloc();
  std::memcpy(block, text.c_str(), text.size() + 1);
  platform::HostFree(*variable);
  *variable = block;
}

std::string TextOf(const char* text) { return text != nullptr ? std::string(text) : ""; }

template <typename Fn>
Fn Resolve(const platform::DynamicLibrary& library, const char* name) {
  return reinterpret_cast<Fn>(library.RequireSymbol(name));
}

// The largest kinds array a well-behaved plug-in can announce (the count is one byte).
constexpr int32_t kMaxKindsLastIndex = 255;

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    char x = AsciiLower(a[i]);
    char y = AsciiLower(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

std::string FormatCatalogueRow(const CatalogueRow& row) {
  std::string line = std::to_string(row.id) + "\t" + row.name + "\t" + row.hint + "\t" +
                     std::to_string(row.count) + "\t";
  for (uint8_t kind : row.kinds) line += std::to_string(kind);
  return line;
}

HostServices::HostServices() {
  if (current != nullptr) throw std::logic_error("only one host may serve the plug-in at a time");
  current = this;
}

HostServices::~HostServices() {
  try {
    Stop();
  } catch (...) {
  }
  // Windows of the rectangles go before the host window, and the plug-in after its shutdown.
  rectangles_.clear();
  hostWindow_.reset();
  library_.reset();
  current = nullptr;
}

HostServices* HostServices::Current() { return current; }

void HostServices::Load(const std::string& path) {
  auto library = std::make_unique<platform::DynamicLibrary>(path);
  Exports exports;
  exports.init = Resolve<nbInitPlugInFn>(*library, "nbInitPlugIn");
  exports.registerPlugIn = Resolve<nbRegisterPlugInFn>(*library, "nbRegisterPlugIn");
  exports.registerScript =
      Resolve<nbRegisterScriptProcessorFn>(*library, "nbRegisterScriptProcessor");
  exports.registerAccess =
      Resolve<nbRegisterInterfaceAccessFn>(*library, "nbRegisterInterfaceAccess");
  exports.exec = Resolve<nbExecActionFn>(*library, "nbExecAction");
  exports.edit = Resolve<nbEditActionFn>(*library, "nbEditAction");
  exports.message = Resolve<nbMessageFn>(*library, "nbMessage");
  library_ = std::move(library);
  exports_ = exports;
}

void HostServices::Start() {
  if (library_ == nullptr) throw std::logic_error("no plug-in is loaded");
  plugin::HostString title = nullptr;
  plugin::HostString publisher = nullptr;
  plugin::HostString hint = nullptr;
  exports_.init(0, &title, &publisher, &hint);
  title_ = TextOf(title);
  publisher_ = TextOf(publisher);
  hint_ = TextOf(hint);
  platform::HostFree(title);
  platform::HostFree(publisher);
  platform::HostFree(hint);

  catalogue_.clear();
  // The second pointer and the script processor are never called by the plug-in; they only
  // have to be distinct, non-null values.
  exports_.registerPlugIn(&HostServices::OnAddAction, reinterpret_cast<plugin::OpaqueProc>(this),
                          &HostServices::OnGetVariable, &HostServices::OnSetVariable);
  exports_.registerScript(reinterpret_cast<plugin::OpaqueProc>(&current));
  exports_.registerAccess(&HostServices::OnInterfaceAccess);
  started_ = true;
}

void HostServices::Message(int32_t code) {
  if (!started_) throw std::logic_error("the plug-in has not been started");
  exports_.message(code);
}

void HostServices::Stop() {
  if (!started_ || stopped_) return;
  stopped_ = true;
  exports_.message(plugin::kShutdownMessage);
}

const CatalogueRow* HostServices::FindAction(const std::string& name) const {
  for (const CatalogueRow& row : catalogue_) {
    if (row.id != 0 && row.name == name) return &row;
  }
  return nullptr;
}

bool HostServices::Execute(int32_t id, const std::vector<std::optional<std::string>>& params) {
  if (!started_) throw std::logic_error("the plug-in has not been started");
  std::vector<const char*> pointers;
  pointers.reserve(params.size() + 1);
  for (const auto& param : params) pointers.push_back(param ? param->c_str() : nullptr);
  pointers.push_back(nullptr);  // never read by a plug-in that honours its counts
  return exports_.exec(id, pointers.data()) != 0;
}

bool HostServices::Edit(int32_t id, std::vector<std::string>& params) {
  if (!started_) throw std::logic_error("the plug-in has not been started");
  // The host owns these variables before and after the call; the editor may replace them.
  struct Owned {
    std::vector<plugin::HostString> texts;
    ~Owned() {
      for (plugin::HostString& text : texts) platform::HostFree(text);
    }
  } owned;
  owned.texts.assign(params.size() + 1, nullptr);
  for (size_t i = 0; i < params.size(); ++i) AssignHostText(&owned.texts[i], params[i]);
  bool confirmed = exports_.edit(id, owned.texts.data()) != 0;
  if (confirmed) {
    for (size_t i = 0; i < params.size(); ++i) params[i] = TextOf(owned.texts[i]);
  }
  return confirmed;
}

void HostServices::SetVariable(const std::string& name, const std::string& value,
                               WriteSource source) {
  variables_[name] = value;
  if (observer_) observer_(name, value, source);
}

std::string HostServices::Variable(const std::string& name) const {
  auto found = variables_.find(name);
  return found != variables_.end() ? found->second : std::string();
}

bool HostServices::HasVariable(const std::string& name) const {
  return variables_.find(name) != variables_.end();
}

platform::HostWindow& HostServices::HostWindow() {
  if (hostWindow_ == nullptr)
    hostWindow_ = platform::HostWindow::CreateTopLevel("nbhost", 800, 600);
  return *hostWindow_;
}

void HostServices::AddRectangle(const std::string& name, int x, int y, int w, int h) {
  if (name.empty()) throw std::invalid_argument("a rectangle needs a name");
  if (HasRectangle(name)) throw std::invalid_argument("rectangle \"" + name + "\" already exists");
  rectangles_[name] = HostWindow().CreateChild(name, x, y, w, h);
}

bool HostServices::HasRectangle(const std::string& name) const {
  return rectangles_.find(name) != rectangles_.end();
}

std::string HostServices::RectangleHandleText(const std::string& name) const {
  auto found = rectangles_.find(name);
  if (found == rectangles_.end()) return "0";
  return std::to_string(found->second->Handle());
}

bool HostServices::ServeInterfaceRequest(int32_t code, plugin::HostString* data) {
  if (data == nullptr) return false;
  switch (code) {
    case plugin::kAccessProbe:
      AssignHostText(data, "1");
      return true;
    case plugin::kAccessRectWindow:
      AssignHostText(data, RectangleHandleText(TextOf(*data)));
      return true;
    case plugin::kAccessPickObject:
      if (pickAnswers_.empty()) return false;
      AssignHostText(data, pickAnswers_.front());
      pickAnswers_.pop_front();
      return true;
    default:
      return false;
  }
}

void HostServices::RecordAction(int32_t id, const char* name, const char* hint,
                                const uint8_t* kinds, int32_t kindsLastIndex, uint32_t count) {
  CatalogueRow row;
  row.id = id;
  row.name = TextOf(name);
  row.hint = TextOf(hint);
  row.count = count & 0xFFu;  // the count travels as a byte in a 32-bit slot
  if (kindsLastIndex > kMaxKindsLastIndex || (kindsLastIndex >= 0 && kinds == nullptr)) {
    throw std::invalid_argument("malformed kinds array for action " + row.name);
  }
  for (int32_t i = 0; i <= kindsLastIndex; ++i) row.kinds.push_back(kinds[i]);
  catalogue_.push_back(std::move(row));
}

void NB_CALL HostServices::OnSetVariable(const char* name, const char* value) {
  try {
    if (current != nullptr) current->SetVariable(TextOf(name), TextOf(value), WriteSource::PlugIn);
  } catch (...) {
    if (current != nullptr) ++current->callbackFailures_;
  }
}

void NB_CALL HostServices::OnGetVariable(const char* name, plugin::HostString* value) {
  try {
    if (current != nullptr && value != nullptr)
      AssignHostText(value, current->Variable(TextOf(name)));
  } catch (...) {
    if (current != nullptr) ++current->callbackFailures_;
  }
}

plugin::NBBool NB_CALL HostServices::OnInterfaceAccess(int32_t code, plugin::HostString* data) {
  try {
    return current != nullptr && current->ServeInterfaceRequest(code, data) ? 1 : 0;
  } catch (...) {
    if (current != nullptr) ++current->callbackFailures_;
    return 0;
  }
}

#if NB_REVERSED_STACK
void NB_CALL HostServices::OnAddAction(int32_t id, const char* name, const char* hint,
                                       uint32_t count, int32_t kindsLastIndex,
                                       const uint8_t* kinds) {
#else
void NB_CALL HostServices::OnAddAction(int32_t id, const char* name, const char* hint,
                                       const uint8_t* kinds, int32_t kindsLastIndex,
                                       uint32_t count) {
#endif
  try {
    if (current != nullptr) current->RecordAction(id, name, hint, kinds, kindsLastIndex, count);
  } catch (...) {
    if (current != nullptr) ++current->callbackFailures_;
  }
}

}  // namespace nbhost
