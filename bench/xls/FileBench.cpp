// Workbook file benchmark: a plain program that prints one table (not a Google Benchmark
// binary, because each measurement runs in a fresh child process so that its peak resident
// set is its own, and the peers are other programs run on the same files).
//
//   file_bench [--repeat R] [CELLS,CELLS,...]   default 5 repeats; 10000,100000,1000000
//   file_bench --generate CELLS FILE             only writes the benchmark workbook (for profiling)
//
// For each size it builds the benchmark layout (bench/peers/bench_layout.py: 20 columns, 60%
// numbers, 25% shared strings, 15% formulas) in our book, saves it with our writer, then times
// in child processes our load and our save (load, then save of what was loaded), SheetJS
// readFile / writeFile(biff8) and xlrd open_workbook on that same file. Peers come from the
// scripts in bench/peers (JSON on stdout); a peer that is not installed is reported and
// skipped. The source tree is found through SS_SOURCE_DIR (environment, else the build's),
// the Python interpreter through PEER_PYTHON (else the one scripts/peers.sh names), scratch files
// under TMPDIR. Every measurement, ours and the peers', is the best of R runs, taken in turns: on a
// shared machine single runs vary by far more than the differences being measured, and the fastest
// run is the one least disturbed by other work.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "ToolComposition.h"
#include "formulas/BookFormulaCache.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/book/BookFiles.h"

namespace {

namespace fs = std::filesystem;
constexpr int kColumns = 20;

struct Measure {
  double ms = 0;
  double peakBytes = 0;
};

long PeakRssBytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss * 1024L;
}

// The text typed into cell (r, c) of an n-cell workbook; twin of bench_layout.py.
std::string CellText(long n, long r, int c) {
  const long k = r * kColumns + c;
  char buf[64];
  if (c < 12) {
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>((k * 7919) % 1000003) / 8);
    return buf;
  }
  const long row = r + 1;
  if (c < 17) {
    const long pool = std::max(1L, n / 16);
    std::snprintf(buf, sizeof buf, "S%ld", ((r * 5 + (c - 12)) * 31) % pool);
  } else if (c == 17) {
    std::snprintf(buf, sizeof buf, "=A%ld+B%ld", row, row);
  } else if (c == 18) {
    std::snprintf(buf, sizeof buf, "=SUM(A%ld:L%ld)", row, row);
  } else {
    std::snprintf(buf, sizeof buf, "=R%ld*2", row);
  }
  return buf;
}

void Generate(long n, const std::string& path) {
  workbook::Workbook book;
  auto& sheet = book.Sheets(0);
  // Typing a million cells one by one with recalculation and screen updates on would time the
  // book, not the file; the file holds the same cells either way.
  book.SetAutoRecalc(false);
  book.BeginUpdate();
  for (long k = 0; k < n; ++k) {
    const long r = k / kColumns;
    const int c = static_cast<int>(k % kColumns);
    sheet.CellObject(c, static_cast<int>(r))->SetText(CellText(n, r, c));
  }
  book.EndUpdate();
  xls::SaveBookToFile(book, path);
}

// Child side: one operation, then "ms peak_rss_bytes" on stdout.
int Child(const std::string& op, const std::string& in, const std::string& out) {
  workbook::Workbook book;
  double ms = 0;
  auto t = std::chrono::steady_clock::now();
  xls::LoadBookFromFile(book, in);
  if (op == "load") {
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
  } else {
    t = std::chrono::steady_clock::now();
    xls::SaveBookToFile(book, out);
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
  }
  std::printf("%.3f %ld\n", ms, PeakRssBytes());
  return 0;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char ch : s) q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return q + "'";
}

// Runs a shell command; its stdout and exit status.
std::string Run(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buf[4096];
  size_t got;
  while ((got = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, got);
  const int raw = pclose(pipe);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

// The faster of two measurements; peak memory is the largest seen, so that a lucky run cannot
// understate it.
std::optional<Measure> Best(const std::optional<Measure>& a, const std::optional<Measure>& b) {
  if (!a) return b;
  if (!b) return a;
  Measure m = a->ms <= b->ms ? *a : *b;
  m.peakBytes = std::max(a->peakBytes, b->peakBytes);
  return m;
}

std::optional<Measure> Ours(const std::string& self, const std::string& op, const std::string& in,
                            const std::string& out) {
  int status = 0;
  const std::string text =
      Run(Quote(self) + " --child " + op + " " + Quote(in) + " " + Quote(out), status);
  Measure m;
  if (status != 0 || std::sscanf(text.c_str(), "%lf %lf", &m.ms, &m.peakBytes) != 2)
    return std::nullopt;
  return m;
}

// The flat objects of a peer script's "runs" list, each as key -> raw value text.
std::vector<std::map<std::string, std::string>> Runs(const std::string& json) {
  std::vector<std::map<std::string, std::string>> runs;
  const size_t at = json.find("\"runs\"");
  if (at == std::string::npos) return runs;
  static const std::regex kField("\"([a-z_]+)\"\\s*:\\s*(\"[^\"]*\"|[-0-9.eE+]+|true|false)");
  size_t open = json.find('{', at);
  while (open != std::string::npos) {
    const size_t close = json.find('}', open);
    if (close == std::string::npos) break;
    const std::string object = json.substr(open, close - open);
    std::map<std::string, std::string> fields;
    for (auto it = std::sregex_iterator(object.begin(), object.end(), kField);
         it != std::sregex_iterator(); ++it)
      fields[(*it)[1]] = (*it)[2];
    runs.push_back(fields);
    open = json.find('{', close);
  }
  return runs;
}

std::optional<Measure> FromRun(const std::map<std::string, std::string>& run) {
  if (!run.count("ms") || !run.count("peak_rss_bytes")) return std::nullopt;
  return Measure{std::atof(run.at("ms").c_str()), std::atof(run.at("peak_rss_bytes").c_str())};
}

struct PeerResult {
  std::string absent;  // why the peer did not run, or empty
  std::optional<Measure> read, write;
};

// Runs a peer's benchmark script once and folds its runs into `r` (best of those seen).
void Peer(const std::string& command, bool hasWrite, PeerResult& r) {
  int status = 0;
  const std::string out = Run(command, status);
  if (status == 3) {
    r.absent = "not installed (scripts/peers.sh)";
    return;
  }
  for (const auto& run : Runs(out)) {
    const auto op = run.find("op");
    if (hasWrite && op != run.end() && op->second == "\"write\"")
      r.write = Best(r.write, FromRun(run));
    else
      r.read = Best(r.read, FromRun(run));
  }
  if (!r.read && !r.write)
    r.absent = "failed (exit " + std::to_string(status) + ")";
  else
    r.absent.clear();
}

void Row(const char* what, long cells, const std::optional<Measure>& ours,
         const std::optional<Measure>& theirs, const std::string& absent) {
  std::printf("%-16s %9ld  ", what, cells);
  if (ours)
    std::printf("%10.1f %9.1f  ", ours->ms, ours->peakBytes / 1048576.0);
  else
    std::printf("%10s %9s  ", "failed", "-");
  if (theirs) {
    std::printf("%10.1f %9.1f", theirs->ms, theirs->peakBytes / 1048576.0);
    if (ours && ours->ms > 0)
      std::printf("  %7.1fx %7.2f", theirs->ms / ours->ms, ours->peakBytes / theirs->peakBytes);
    std::printf("\n");
  } else {
    std::printf("%s\n", absent.empty() ? "no result" : absent.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  tools::ComposeCommandLineTool();
  if (argc == 5 && std::string(argv[1]) == "--child") return Child(argv[2], argv[3], argv[4]);
  if (argc == 4 && std::string(argv[1]) == "--generate") {  // a file to profile the load on
    Generate(std::atol(argv[2]), argv[3]);
    return 0;
  }

  int repeat = 5;
  int arg = 1;
  if (argc > arg + 1 && std::string(argv[arg]) == "--repeat") {
    repeat = std::max(1, std::atoi(argv[arg + 1]));
    arg += 2;
  }
  std::vector<long> sizes;
  for (std::string list = argc > arg ? argv[arg] : "10000,100000,1000000"; !list.empty();) {
    const size_t comma = list.find(',');
    sizes.push_back(std::atol(list.substr(0, comma).c_str()));
    list = comma == std::string::npos ? "" : list.substr(comma + 1);
  }
  const char* envSource = std::getenv("SS_SOURCE_DIR");
  const fs::path source = envSource ? envSource : SS_SOURCE_DIR;
  const fs::path peers = source / "bench" / "peers";
  const char* envPython = std::getenv("PEER_PYTHON");
  std::string python = envPython ? envPython : "";
  if (python.empty()) {  // the interpreter that can import xlrd, as the peer installer names it
    int status = 0;
    python = Run("bash " + Quote((source / "scripts" / "peers.sh").string()) + " --print-python",
                 status);
    while (!python.empty() && (python.back() == '\n' || python.back() == ' ')) python.pop_back();
    if (status != 0 || python.empty()) python = "python3";
  }
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const fs::path work = fs::temp_directory_path() / ("file-bench-" + std::to_string(getpid()));
  fs::create_directories(work);

  std::printf("%-16s %9s  %10s %9s  %10s %9s  %8s %7s\n", "operation", "cells", "ours ms",
              "ours MiB", "peer ms", "peer MiB", "speedup", "memory");
  for (long n : sizes) {
    const std::string file = (work / ("ours-" + std::to_string(n) + ".xls")).string();
    const std::string rewrite = (work / "rewrite.xls").string();
    Generate(n, file);
    // The runs of ours and of the peers take turns, so that a slow spell of the machine falls
    // on all of them alike.
    std::optional<Measure> load, save;
    PeerResult sheetjs, xlrd;
    for (int k = 0; k < repeat; ++k) {
      load = Best(load, Ours(self, "load", file, rewrite));
      save = Best(save, Ours(self, "save", file, rewrite));
      Peer("node " + Quote((peers / "sheetjs_io.js").string()) + " bench --file " + Quote(file),
           true, sheetjs);
      Peer(Quote(python) + " " + Quote((peers / "xlrd_open.py").string()) + " " + Quote(file),
           false, xlrd);
    }
    Row("load/sheetjs", n, load, sheetjs.read, sheetjs.absent);
    Row("save/sheetjs", n, save, sheetjs.write, sheetjs.absent);
    Row("load/xlrd", n, load, xlrd.read, xlrd.absent);
    std::fflush(stdout);
  }
  std::printf(
      "(ms: wall time of the call, best of %d runs; MiB: the largest peak resident set of the "
      "process doing it; speedup: peer ms / ours; memory: ours / peer)\n",
      repeat);
  fs::remove_all(work);
  return 0;
}
