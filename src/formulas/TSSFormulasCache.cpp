#include "formulas/TSSFormulasCache.h"

#include "formulas/ReferenceAdjust.h"
#include "formulas/TSSFunctionHandler.h"
#include "formulas/Values.h"
#include "platform/CodePage.h"
#include "workbook/CellReference.h"
#include "workbook/Errors.h"

namespace formulas {

TSSFormulasCache::TSSFormulasCache(FormulaBook& book)
    : book_(book),
      handler_(std::make_unique<TSSFunctionHandler>(*this)),
      evaluator_(std::make_unique<TSSFunctionHandler>(*this)) {}

TSSFormulasCache::~TSSFormulasCache() = default;

void TSSFormulasCache::Report(std::string_view message) {
  if (silentErrors_)
    errorFlag_ = true;
  else
    book_.ShowMessage(message);
}

void TSSFormulasCache::ReportCycle() { book_.ShowMessage(kMsgCycle); }

// ---- entries -----------------------------------------------------------------------------

FormulaEntry* TSSFormulasCache::Add(FormulaEntry&& entry) {
  FormulaEntry* raw = entries_.Add(std::move(entry));
  raw->Marks = 0;
  if (!graphStale_) IndexEntry(*raw);
  NoteNewEntry(raw);
  return raw;
}

std::vector<FormulaEntry*> TSSFormulasCache::Entries() const {
  std::vector<FormulaEntry*> out;
  out.reserve(entries_.Size());
  entries_.ForEach([&out](FormulaEntry& e) { out.push_back(&e); });
  return out;
}

bool TSSFormulasCache::SetFormula(uint16_t sheet, int32_t col, int32_t row) {
  CellView cell;
  if (!book_.ReadCell(sheet, col, row, cell)) return false;
  const std::string original(cell.text);
  FormulaEntry entry;  // moved into the cache's list when it compiles
  entry.Sheet = sheet;
  entry.Col = col;
  entry.Row = row;
  entry.State = EntryState::Valid;
  const bool rememberedCycle = cycleFlag_;
  errorFlag_ = false;  // a flag left by an earlier message must not stop this parse
  bool ok = false;
  try {
    ok = handler_->ParseInto(original, entry);
  } catch (...) {
    errorFlag_ = true;
    entry.Bad = 1;
    entry.Tokens.Clear();
  }
  if (errorFlag_ && !silentErrors_) Report(kMsgSyntax);
  std::string text;
  if (ok && !entry.Tokens.Empty() && !errorFlag_) text = handler_->FormulaToText(entry);
  // A text that did not compile, or whose tokens do not read back as a formula, stays the
  // text the user wrote: nothing of it is lost.
  const bool formula = ok && !text.empty() && !errorFlag_;
  errorFlag_ = false;
  if (formula) {
    FormulaEntry* raw = Add(std::move(entry));
    book_.WriteCell(sheet, col, row, text, CellDataType::Formula, raw);
  } else {
    book_.WriteCell(sheet, col, row, original, CellDataType::Text, nullptr);
  }
  if (cycleFlag_ && cycleFlag_ != rememberedCycle) ReportCycle();
  return formula;
}

FormulaEntry* TSSFormulasCache::Clone(const FormulaEntry& entry) {
  FormulaEntry copy;
  copy.Sheet = entry.Sheet;
  copy.Col = entry.Col;
  copy.Row = entry.Row;
  copy.Tokens = entry.Tokens;
  copy.Result = entry.Result;
  copy.State = entry.State;
  copy.Bad = entry.Bad;
  return Add(std::move(copy));
}

void TSSFormulasCache::Remove(FormulaEntry* entry) {
  if (!entries_.Contains(entry)) return;
  // An entry that a running calculation still holds is kept off the work stack.
  for (FormulaEntry*& w : work_)
    if (w == entry) w = nullptr;
  if (need_ == entry) need_ = nullptr;
  // What the cell showed is gone: the formulas reading it must be calculated again.
  CellChanged(entry->Sheet, entry->Col, entry->Row);
  if (entry->Marks & kMarkUnknown) --unknownEntries_;
  if (!graphStale_ && !entry->Tokens.Empty()) ++removedSinceRebuild_;
  entry->Marks = 0;
  entries_.Remove(entry);
}

void TSSFormulasCache::Clear() {
  names_.clear();
  // Every pointer the tracking holds goes with the entries' memory.
  DropQueues();
  volatiles_.clear();
  graph_.Clear();
  entries_.Clear();
  graphStale_ = false;  // no entries, no edges
  fullPending_ = true;
  lastPassCyclic_ = false;
  unknownEntries_ = 0;
  removedSinceRebuild_ = 0;
  lockCount_ = 0;
}

// ---- cell values as formulas see them -------------------------------------------------------

// Makes sure a referenced formula cell has its result, or records that the running
// evaluation needs it first. False when the value cannot be read now.
bool TSSFormulasCache::ReadFormulaCell(FormulaEntry* entry) {
  if (!entry->Result.Empty()) return true;
  if (need_ != nullptr) return false;  // the running evaluation is suspended already
  if (Locked() || entry->Bad) return true;
  if (entry->Busy > 0) {
    cycleFlag_ = true;  // being evaluated further up: read as having no result
    return true;
  }
  if (evaluating_) {
    need_ = entry;
    return false;
  }
  CalculateEntry(entry);
  return true;
}

bool TSSFormulasCache::GetCellText(uint16_t sheet, int32_t col, int32_t row, std::string& text,
                                   uint8_t& error) {
  bool literal = false;
  return GetCellText(sheet, col, row, text, error, literal);
}

bool TSSFormulasCache::GetCellText(uint16_t sheet, int32_t col, int32_t row, std::string& text,
                                   uint8_t& error, bool& literal) {
  error = 0;
  literal = false;
  text.clear();
  CellView cell;
  if (!book_.ReadCell(sheet, col, row, cell)) return false;
  if (cell.dataType != CellDataType::Formula || cell.formula == nullptr) {
    literal = cell.dataType == CellDataType::LiteralText;
    text.assign(cell.text);
    return !text.empty();
  }
  FormulaEntry* entry = cell.formula;
  if (!ReadFormulaCell(entry) || stopFlag_ || entry->Result.Empty()) return false;
  const TokenBlock& result = entry->Result;
  if (entry->State == EntryState::Valid) {
    switch (result[0]) {
      case ptgStr:
        if (TokenSizeAt(result.Bytes(), 0) != 0) text = ReadStringToken(result.Data());
        break;
      case ptgBool:
        text = BooleanText(ReadBoolToken(result.Data()));
        break;
      case ptgNum:
        text = NumberText(ReadNumberToken(result.Data()));
        break;
      default:
        break;
    }
  } else {
    // A formula that ended in an error reads as "#VALUE!" to texts, and passes its error on.
    text = EngineErrorText(static_cast<uint8_t>(EngineError::Value));
    error = result[0] >= 1 && result[0] <= 7 ? result[0] : static_cast<uint8_t>(EngineError::Value);
  }
  return !text.empty();
}

bool TSSFormulasCache::GetCellExactNumber(uint16_t sheet, int32_t col, int32_t row, double& value) {
  if (book_.ReadDerivedNumber(sheet, col, row, value)) return true;
  CellView cell;
  if (!book_.ReadCell(sheet, col, row, cell) || cell.dataType != CellDataType::Formula ||
      cell.formula == nullptr)
    return false;
  FormulaEntry* entry = cell.formula;
  if (ReadFormulaCell(entry) && !stopFlag_ && entry->State == EntryState::Valid &&
      entry->Result.Length() == 9 && entry->Result[0] == ptgNum) {
    value = ReadNumberToken(entry->Result.Data());
    return true;
  }
  return false;
}

bool TSSFormulasCache::GetCellNumber(uint16_t sheet, int32_t col, int32_t row, double& value,
                                     uint8_t& error) {
  value = 0;
  error = 0;
  // Numbers are read as stored or computed; only the texts made from them round to 15 digits.
  if (GetCellExactNumber(sheet, col, row, value)) return true;
  value = 0;
  std::string text;
  bool literal = false;
  GetCellText(sheet, col, row, text, error, literal);
  if (error != 0) return false;
  if (text.empty()) return true;
  if (TextToNumber(text, value)) return !literal;
  bool b = false;
  if (TextToBoolean(text, b)) {
    value = b ? 1 : 0;
    return true;
  }
  value = 0;
  return false;
}

bool TSSFormulasCache::GetCellBoolean(uint16_t sheet, int32_t col, int32_t row, bool& value,
                                      uint8_t& error) {
  value = false;
  error = 0;
  CellView cell;
  if (!book_.ReadCell(sheet, col, row, cell)) return false;
  if (cell.dataType != CellDataType::Formula || cell.formula == nullptr) {
    if (TextToBoolean(cell.text, value)) return true;
    double number = 0;
    if (TextToNumber(cell.text, number)) {
      value = number != 0;
      return true;
    }
    return false;
  }
  FormulaEntry* entry = cell.formula;
  if (!ReadFormulaCell(entry) || stopFlag_ || entry->Result.Empty()) return false;
  const TokenBlock& result = entry->Result;
  if (entry->State != EntryState::Valid) {
    error = result[0] >= 1 && result[0] <= 7 ? result[0] : static_cast<uint8_t>(EngineError::Value);
    return false;
  }
  if (result[0] == ptgBool) {
    value = ReadBoolToken(result.Data());
    return true;
  }
  if (result[0] == ptgNum && result.Length() == 9) {
    value = ReadNumberToken(result.Data()) != 0;
    return true;
  }
  return false;
}

// ---- calculation -------------------------------------------------------------------------

void TSSFormulasCache::CalculateEntry(FormulaEntry* entry) {
  if (Locked() || entry == nullptr || entry->Bad) return;
  if (entry->Busy > 0) {
    cycleFlag_ = true;
    return;
  }
  if (evaluating_) {
    // Asked from inside an evaluation: the running work stack takes it on.
    if (need_ == nullptr) need_ = entry;
    return;
  }
  RunWorkStack(entry);
}

void TSSFormulasCache::RunWorkStack(FormulaEntry* first) {
  struct Guard {
    TSSFormulasCache& c;
    ~Guard() {
      for (FormulaEntry* w : c.work_) {
        if (w == nullptr) continue;
        --w->Busy;
        --w->Depth;
      }
      c.work_.clear();
      c.need_ = nullptr;
      c.evaluating_ = false;
    }
  } guard{*this};
  evaluating_ = true;
  need_ = nullptr;
  work_.push_back(first);
  ++first->Busy;
  ++first->Depth;
  while (!work_.empty()) {
    FormulaEntry* top = work_.back();
    if (top == nullptr) {  // removed while waiting
      work_.pop_back();
      continue;
    }
    if (top->Depth > 1) {
      // Only a path that re-enters a running entry without the Busy test gets here.
      stopFlag_ = true;
      ReportCycle();
    } else {
      EvaluateOne(*top);
    }
    if (need_ != nullptr) {
      FormulaEntry* next = need_;
      need_ = nullptr;
      top->Result.Clear();
      ++next->Busy;
      ++next->Depth;
      work_.push_back(next);
      continue;
    }
    work_.pop_back();
    --top->Busy;
    --top->Depth;
  }
}

void TSSFormulasCache::EvaluateOne(FormulaEntry& entry) {
  TSSFunctionHandler& handler = *evaluator_;
  try {
    if (entry.Tokens.Empty()) {
      CellView cell;
      if (book_.ReadCell(entry.Sheet, entry.Col, entry.Row, cell)) {
        const std::string text(cell.text);
        handler.ParseInto(text, entry);
        // Parsed on first use: from now on the graph must know what it reads.
        if (!graphStale_ && !entry.Tokens.Empty()) IndexEntry(entry);
      }
    }
    entry.State = EntryState::Valid;
    if (!entry.Tokens.Empty()) handler.EvaluateEntry(entry);
  } catch (const std::exception&) {
    // A broken stream or a function that produced nothing: the formula shows an error, and
    // the rest of the recalculation goes on.
    if (need_ == nullptr && entry.State == EntryState::Valid) {
      entry.State = EntryState::Error;
      entry.Result = MakeByteToken(static_cast<uint8_t>(EngineError::Value));
    }
  }
}

void TSSFormulasCache::Recalculate() {
  if (Locked()) return;
  if (entries_.Empty()) {
    DropQueues();
    return;
  }
  if (fullPending_ || lastPassCyclic_ || !RecalculateDirty()) RecalculateAll();
}

void TSSFormulasCache::RecalculateAll() {
  // Everything is evaluated: what was queued is covered.
  DropQueues();
  fullPending_ = false;
  lastWasFull_ = true;
  lastRecalculated_ = entries_.Size();
  const bool rememberedCycle = cycleFlag_;
  cycleFlag_ = false;
  stopFlag_ = false;
  entries_.ForEach([](FormulaEntry& e) { e.Result.Clear(); });
  const auto clearBusy = [](FormulaEntry& e) { e.Busy = 0; };
  try {
    entries_.ForEach([this](FormulaEntry& e) {
      if (e.Busy > 0) return;
      // An entry calculated on demand earlier in this pass keeps its result unless a cycle
      // was met, whose partial values a second evaluation would change.
      if (e.Result.Empty() || cycleFlag_) CalculateEntry(&e);
      ++e.Busy;
    });
  } catch (...) {
    entries_.ForEach(clearBusy);
    stopFlag_ = false;
    fullPending_ = true;  // the entries after the failure have no results
    throw;
  }
  entries_.ForEach(clearBusy);
  // A pass that met a cycle has results that depend on the order of evaluation: the next
  // recalculation is a full one again. A locked pass calculated nothing.
  lastPassCyclic_ = cycleFlag_;
  if (Locked()) fullPending_ = true;
  if (cycleFlag_ && cycleFlag_ != rememberedCycle) ReportCycle();
  stopFlag_ = false;
}

void TSSFormulasCache::SetAutoRecalc(bool value) {
  // Setting the value the property already has changes nothing, so that the lock count never
  // goes below 0 (which would make the next "false" leave calculation on).
  if (value) {
    if (lockCount_ > 0) --lockCount_;
    Recalculate();
  } else if (lockCount_ < 1) {
    ++lockCount_;
  }
}

std::string TSSFormulasCache::FormulaText(const FormulaEntry& entry) {
  return handler_->FormulaToText(entry);
}

std::string TSSFormulasCache::FormulaDisplayText(FormulaEntry* entry, bool formatted) {
  if (entry == nullptr || !entry->Listed) return {};
  CellView cell;
  const bool hasCell = book_.ReadCell(entry->Sheet, entry->Col, entry->Row, cell);
  if (entry->Bad) return hasCell ? std::string(cell.text) : std::string();
  if (book_.ShowFormulas()) {
    const bool silent = silentErrors_;
    silentErrors_ = true;  // a failing regeneration shows the stored text instead
    const bool flag = errorFlag_;
    errorFlag_ = false;
    std::string text = handler_->FormulaToText(*entry);
    const bool failed = errorFlag_ || text.empty();
    errorFlag_ = flag;
    silentErrors_ = silent;
    if (!failed) return text;
    return hasCell ? std::string(cell.text) : std::string();
  }
  if (entry->Result.Empty()) {
    try {
      CalculateEntry(entry);
    } catch (...) {
      entry->State = EntryState::Error;
      RequireFullPass();  // its result is not the one a recalculation gives
    }
  }
  const TokenBlock& result = entry->Result;
  if (result.Empty()) return "0";
  if (entry->State == EntryState::Error)
    return std::string(EngineErrorText(result[0] >= 1 && result[0] <= 7 ? result[0] : 3));
  switch (result[0]) {
    case ptgStr:
      return TokenSizeAt(result.Bytes(), 0) ? ReadStringToken(result.Data()) : std::string();
    case ptgBool:
      return std::string(BooleanText(ReadBoolToken(result.Data())));
    case ptgNum: {
      const double v = ReadNumberToken(result.Data());
      return formatted ? book_.FormatCellNumber(entry->Sheet, entry->Col, entry->Row, v)
                       : NumberText(v);
    }
    default:
      return "#VALUE!";
  }
}

workbook::FormulaValue TSSFormulasCache::FormulaResult(FormulaEntry* entry) {
  using Kind = workbook::FormulaValue::Kind;
  workbook::FormulaValue value;
  if (entry == nullptr || !entry->Listed) return value;
  if (entry->Bad) {
    // A formula that did not compile shows its stored text.
    CellView cell;
    value.kind = Kind::Text;
    if (book_.ReadCell(entry->Sheet, entry->Col, entry->Row, cell)) value.text = cell.text;
    return value;
  }
  if (entry->Result.Empty()) {
    try {
      CalculateEntry(entry);
    } catch (...) {
      entry->State = EntryState::Error;
    }
  }
  const TokenBlock& result = entry->Result;
  if (result.Empty()) {
    value.kind = Kind::Number;  // shown as "0"
    return value;
  }
  if (entry->State == EntryState::Error) {
    value.kind = Kind::Error;
    value.text = EngineErrorText(result[0] >= 1 && result[0] <= 7 ? result[0] : 3);
    return value;
  }
  switch (result[0]) {
    case ptgStr:
      value.kind = Kind::Text;
      if (TokenSizeAt(result.Bytes(), 0)) value.text = ReadStringToken(result.Data());
      break;
    case ptgBool:
      value.kind = Kind::Boolean;
      value.number = ReadBoolToken(result.Data()) ? 1 : 0;
      break;
    case ptgNum:
      value.kind = Kind::Number;
      value.number = ReadNumberToken(result.Data());
      break;
    default:
      value.kind = Kind::Error;
      value.text = EngineErrorText(3);
      break;
  }
  return value;
}

// ---- names and sheets ----------------------------------------------------------------------

std::vector<TSSSheetDef> TSSFormulasCache::SheetDefs() const {
  std::vector<TSSSheetDef> defs;
  const int32_t count = book_.SheetCount();
  defs.reserve(count > 0 ? static_cast<size_t>(count) : 0);
  for (int32_t i = 0; i < count; ++i) {
    std::string prefix = workbook::SheetPrefix(book_.SheetCaption(i));
    if (!prefix.empty() && prefix.back() == '!') prefix.pop_back();
    defs.push_back(TSSSheetDef{prefix, i});
  }
  return defs;
}

int32_t TSSFormulasCache::AddName(const std::string& name, uint8_t sheet, bool check,
                                  const workbook::TRect& rect) {
  if (check) {
    static constexpr std::string_view kBad = " ()&#%^+-*/\\|,.;{}[]'?\"@";
    if (name.empty() || name.find_first_of(kBad) != std::string::npos) return -1;
    for (const auto& n : names_)
      if (platform::AnsiSameText(n.Name, name)) return -1;
    for (const auto& s : SheetDefs())
      if (platform::AnsiSameText(s.Caption, name)) return -1;
  }
  if (names_.size() >= 0xFFFF) return -1;  // a name token holds a 16-bit index
  StructureChanged();  // a name token of a file may refer to the index before it exists
  names_.push_back(TSSNameDefinition{name, sheet, rect.Left, rect.Top, rect.Right, rect.Bottom, 0});
  return static_cast<int32_t>(names_.size() - 1);
}

void TSSFormulasCache::AssignNames(const std::vector<TSSNameDefinition>& names) {
  names_ = names;
  StructureChanged();
}

bool TSSFormulasCache::DeleteName(const std::string& name) {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (!platform::AnsiSameText(names_[i].Name, name)) continue;
    if (i + 1 < names_.size()) {
      names_[i].Deleted = 1;
      StructureChanged();
    }
    return true;
  }
  return false;
}

namespace {

// Renumbers the sheet of every sheet-qualified reference of a stream.
template <typename F>
void MapSheetsOf(TokenBlock& tokens, F map) {
  uint8_t* data = tokens.MutableData();
  const auto bytes = tokens.Bytes();
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) return;
    uint8_t* p = data + pos;
    if (p[0] == ptgRef3d || p[0] == ptgArea3d) WriteU16(p + 1, map(ReadSheetOf3d(p)));
    pos += size;
  }
}

// A sheet index no book reaches: the reference reads as #REF!.
constexpr uint16_t kRemovedSheet = 0xFFFF;

}  // namespace

void TSSFormulasCache::SwapSheets(uint16_t a, uint16_t b) {
  // Sheet-qualified references follow their sheets too; they would otherwise name the other
  // sheet after the exchange.
  StructureChanged();
  auto swap = [a, b](uint16_t s) -> uint16_t { return s == a ? b : (s == b ? a : s); };
  entries_.ForEach([&swap](FormulaEntry& e) {
    e.Sheet = swap(e.Sheet);
    MapSheetsOf(e.Tokens, swap);
    e.Result.Clear();
  });
  for (auto& n : names_) {
    if (n.Sheet == a)
      n.Sheet = static_cast<uint8_t>(b);
    else if (n.Sheet == b)
      n.Sheet = static_cast<uint8_t>(a);
  }
}

void TSSFormulasCache::SheetRemoved(uint16_t index) {
  StructureChanged();
  auto renumber = [index](uint16_t s) -> uint16_t {
    if (s == kRemovedSheet || s < index) return s;
    return s == index ? kRemovedSheet : static_cast<uint16_t>(s - 1);
  };
  entries_.ForEach([&renumber, index](FormulaEntry& e) {
    MapSheetsOf(e.Tokens, renumber);
    e.Result.Clear();
    if (e.Sheet < index) return;
    if (e.Sheet == 0) throw workbook::ESpreadSheetError(std::string(kMsgInvalidPage));
    --e.Sheet;
  });
  for (auto& n : names_)
    if (n.Sheet >= index && n.Sheet > 0) --n.Sheet;
}

// ---- structure changes -----------------------------------------------------------------------

void TSSFormulasCache::AdjustForInsertDelete(uint16_t sheet, const workbook::TRect& rect,
                                             bool columns, bool del) {
  BandChange change;
  change.sheet = sheet;
  change.columns = columns;
  change.del = del;
  change.first = columns ? rect.Left : rect.Top;
  change.count = columns ? rect.Width() : rect.Height();
  if (change.count <= 0 || change.first < 0) return;
  StructureChanged();

  for (auto& n : names_) {
    if (n.Sheet != sheet || n.Deleted) continue;
    workbook::TRect r{n.Left, n.Top, n.Right, n.Bottom};
    if (AdjustNameRect(r, change)) {
      n.Left = r.Left;
      n.Top = r.Top;
      n.Right = r.Right;
      n.Bottom = r.Bottom;
    } else {
      n.Deleted = 1;  // its cells are gone: the name now reads as #REF!
    }
  }

  std::vector<FormulaEntry*> invalid;
  // A snapshot: writing a cell through the book may remove entries from the list.
  for (FormulaEntry* e : Entries()) {
    if (!e->Listed) continue;
    const int32_t own = columns ? e->Col : e->Row;
    if (del && e->Sheet == sheet && own >= change.first &&
        int64_t{own} < int64_t{change.first} + change.count)
      continue;  // the storage removes it with its cell
    const int32_t oldRow = e->Row, oldCol = e->Col;
    if (e->Sheet == sheet) {
      const int64_t moved = change.Move(own);
      (columns ? e->Col : e->Row) = static_cast<int32_t>(moved);
    }
    const bool valid = AdjustTokens(e->Tokens, e->Sheet, oldCol, oldRow, e->Col, e->Row, change);
    e->Result.Clear();
    if (!valid) {
      book_.WriteCell(e->Sheet, oldCol, oldRow, "#REF!", CellDataType::Text, nullptr);
      invalid.push_back(e);
    } else {
      book_.WriteCell(e->Sheet, oldCol, oldRow, handler_->FormulaToText(*e), CellDataType::Formula,
                      e);
    }
  }
  for (FormulaEntry* e : invalid) Remove(e);
}

void TSSFormulasCache::ShiftSheetReferences(FormulaEntry& entry, int32_t dCol, int32_t dRow) {
  if (dRow == 0 && dCol == 0) return;
  uint8_t* data = entry.Tokens.MutableData();
  const auto bytes = entry.Tokens.Bytes();
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) return;
    uint8_t* p = data + pos;
    if (p[0] == ptgRef3d) {
      RefToken r = ReadRefToken(p);
      r.row += dRow;
      r.col += dCol;
      WriteRefToken(p + 3, r);
    } else if (p[0] == ptgArea3d) {
      AreaToken a = ReadAreaToken(p);
      a.row1 += dRow;
      a.row2 += dRow;
      a.col1 += dCol;
      a.col2 += dCol;
      WriteAreaToken(p + 3, a);
    }
    pos += size;
  }
}

bool TSSFormulasCache::CheckPastedReferences(const FormulaEntry& entry) const {
  const auto bytes = entry.Tokens.Bytes();
  auto bad = [&](bool abs, int32_t v, int32_t own) {
    return (abs ? int64_t{v} : int64_t{v} + own) < 0;
  };
  for (size_t pos = 0; pos < bytes.size();) {
    const size_t size = TokenSizeAt(bytes, pos);
    if (size == 0) return false;
    const uint8_t* p = bytes.data() + pos;
    if (p[0] == ptgRef) {
      const RefToken r = ReadRefToken(p);
      if (bad(r.rowAbs, r.row, entry.Row) || bad(r.colAbs, r.col, entry.Col)) return false;
    } else if (p[0] == ptgArea) {
      const AreaToken a = ReadAreaToken(p);
      if (bad(a.row1Abs, a.row1, entry.Row) || bad(a.row2Abs, a.row2, entry.Row) ||
          bad(a.col1Abs, a.col1, entry.Col) || bad(a.col2Abs, a.col2, entry.Col))
        return false;
    }
    pos += size;
  }
  return true;
}

}  // namespace formulas
