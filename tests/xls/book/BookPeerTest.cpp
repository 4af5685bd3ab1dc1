// Interoperability of whole books with independent peers, through the interop scripts of
// tests/interop: files that xlwt and SheetJS write load in our book with the content their
// manifests list, and a file our writer makes opens in xlrd and SheetJS with the values,
// merged areas, widths, heights, hidden columns and rows and fonts we put in.
//
// Skipped (not failed) when a peer is missing: python3 with xlrd and xlwt (Debian
// python3-xlrd, python3-xlwt; SS_PYTHON may name the interpreter) and node with the pinned
// npm packages in tests/interop (scripts/peers.sh installs all of them).
//
// One difference is inherent in the book and is accepted, nothing else: texts are 8-bit in the
// system code page, so characters outside it arrive as '?'. Each file is also saved again and
// read by xlrd: the copy must hold the same cells.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "formulas/BookFormulaCache.h"
#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"
#include "xls/book/BookDump.h"
#include "xls/book/BookFiles.h"

namespace xls {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command, int& status) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    status = -1;
    return out;
  }
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
  status = pclose(pipe);
  return out;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string SourceDir() {
  const char* dir = std::getenv("SS_SOURCE_DIR");
  return dir ? dir : ".";
}

std::string Interop() { return SourceDir() + "/tests/interop"; }

const std::string& Python() {
  static const std::string found = [] {
    std::vector<std::string> candidates;
    if (const char* env = std::getenv("SS_PYTHON")) candidates.push_back(env);
    candidates.push_back("/usr/bin/python3");
    candidates.push_back("python3");
    for (const std::string& c : candidates) {
      int rc = -1;
      Shell(Quote(c) + " -c 'import xlrd, xlwt'", rc);
      if (rc == 0) return c;
    }
    return std::string();
  }();
  return found;
}

bool HaveNode() {
  static const bool found = [] {
    int rc = -1;
    Shell("cd " + Quote(Interop()) + " && node -e \"require('xlsx')\"", rc);
    return rc == 0;
  }();
  return found;
}

struct TempDir {
  fs::path path;
  TempDir() {
    path = fs::temp_directory_path() / ("bookpeer_" + std::to_string(getpid()));
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

// The lines of a comparison that are not the accepted difference.
std::vector<std::string> Unexpected(const std::string& report) {
  std::vector<std::string> out;
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);) {
    if (line.empty()) continue;
    bool wide = false;  // the expected text holds characters beyond the 8-bit code page
    const size_t at = line.find("expected text '");
    if (at != std::string::npos) {
      for (size_t i = at; i + 1 < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        // UTF-8 lead bytes of characters from U+0100 up (Latin-1 ones start with C2 or C3).
        if (c >= 0xC4) wide = true;
      }
    }
    if (!wide) out.push_back(line);
  }
  return out;
}

// Books of these tests run the formula engine, as the product's do.
struct EngineInstalled {
  workbook::ScopedBookServices engine{testsupport::WithFormulaEngine(testsupport::ModelServices())};
};

void CheckPeerSamples(const std::string& writer, const std::string& makeCommand) {
  EngineInstalled engine;
  TempDir dir;
  int rc = -1;
  std::string out = Shell(makeCommand + " " + Quote(dir.path.string()), rc);
  ASSERT_EQ(rc, 0) << out;
  const std::string manifest = dir.File(writer + "-manifest.json");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir.path)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(writer + "-", 0) != 0 || entry.path().extension() != ".xls") continue;
    ++files;
    workbook::Workbook book;
    ASSERT_NO_THROW(LoadBookFromFile(book, entry.path().string())) << name;
    book.Recalculate();
    const std::string dump = dir.File(name + ".json");
    std::ofstream(dump) << DumpJson(book);
    // Sizes are pixels in our dump and file units in the manifest; the writer tests check them.
    std::string report =
        Shell(Quote(Python()) + " " + Quote(Interop() + "/peer_dump.py") + " --dump " +
                  Quote(dump) + " --expect " + Quote(manifest + ":" + name) + " --ignore sizes",
              rc);
    const std::vector<std::string> bad = Unexpected(report);
    EXPECT_TRUE(bad.empty()) << name << ":\n" << report;
    // Saved again, the file holds every cell with the type and value the peer wrote: xlrd
    // reads our copy against the same manifest (texts that look like numbers or dates
    // included).
    const std::string again = dir.File("again-" + name);
    ASSERT_TRUE(SaveBookToFile(book, again).empty()) << name;
    report = Shell(Quote(Python()) + " " + Quote(Interop() + "/peer_dump.py") + " " + Quote(again) +
                       " --expect " + Quote(manifest + ":" + name) + " --ignore sizes",
                   rc);
    const std::vector<std::string> badAgain = Unexpected(report);
    EXPECT_TRUE(badAgain.empty()) << "saved again, " << name << ":\n" << report;
  }
  EXPECT_GE(files, 3);
}

TEST(BookPeers, XlwtFilesLoadWithTheirContent) {
  if (Python().empty())
    GTEST_SKIP() << "no python3 with xlrd and xlwt (scripts/peers.sh installs them)";
  CheckPeerSamples("xlwt", Quote(Python()) + " " + Quote(Interop() + "/xlwt_samples.py"));
}

TEST(BookPeers, SheetJsFilesLoadWithTheirContent) {
  if (Python().empty() || !HaveNode())
    GTEST_SKIP() << "no SheetJS or no python3 with xlrd (scripts/peers.sh)";
  CheckPeerSamples("sheetjs", "cd " + Quote(Interop()) + " && node sheetjs_peer.js samples");
}

// A book with values, a long text, merged areas, sizes, hidden parts and fonts, and the
// manifest of what a reader must find in its file.
void MakeBook(workbook::Workbook& book, std::string& manifest) {
  book.AddSheet("Second");
  auto& s = book.Sheets(0);
  s.CellObject(0, 0)->SetText("Title");
  s.CellObject(1, 0)->SetText("2.5");
  s.CellObject(2, 0)->SetText("-17");
  s.CellObject(0, 1)->SetText(std::string(260, 'L'));
  s.CellObject(3, 2)->SetText("0.1");
  s.CellObject(4, 0)->SetText("=B1*2");  // readers that do not calculate see the stored result
  {
    auto cell = s.CellObject(0, 3);
    cell->SetText("bold");
    cell->Style().Font().SetAll("Courier New", 14, 10, 1,
                                workbook::kFontBold | workbook::kFontItalic);
  }
  s.Storage().MergeCells({0, 5, 2, 6}, true);
  s.ColumnHeader().SetSize(1, 120);
  s.ColumnHeader().SetVisible(5, false);
  s.RowHeader().SetSize(2, 30);
  s.RowHeader().SetVisible(8, false);
  book.Sheets(1).CellObject(1, 1)->SetText("other sheet");
  manifest = R"({"ours.xls": {"writer": "ours", "sheets": [
 {"name": "Sheet1", "visible": true, "cells": [
  {"ref": "A1", "col": 0, "row": 0, "type": "text", "value": "Title"},
  {"ref": "B1", "col": 1, "row": 0, "type": "number", "value": 2.5},
  {"ref": "C1", "col": 2, "row": 0, "type": "number", "value": -17.0},
  {"ref": "A2", "col": 0, "row": 1, "type": "text", "value": ")" +
             std::string(260, 'L') + R"("},
  {"ref": "D3", "col": 3, "row": 2, "type": "number", "value": 0.1},
  {"ref": "E1", "col": 4, "row": 0, "type": "number", "value": 5.0},
  {"ref": "A4", "col": 0, "row": 3, "type": "text", "value": "bold",
   "font": {"name": "Courier New", "height": 280, "bold": true, "italic": true, "underline": false,
            "colorIndex": 18}}],
  "merged": ["A6:C7"], "colWidths": {"1": 4392}, "rowHeights": {"2": 453},
  "hiddenCols": [5], "hiddenRows": [8]},
 {"name": "Second", "visible": true, "cells": [
  {"ref": "B2", "col": 1, "row": 1, "type": "text", "value": "other sheet"}],
  "merged": [], "colWidths": {}, "rowHeights": {}, "hiddenCols": [], "hiddenRows": []}],
 "names": []}})";
}

TEST(BookPeers, OurFilesOpenInXlrdAndSheetJs) {
  if (Python().empty())
    GTEST_SKIP() << "no python3 with xlrd and xlwt (scripts/peers.sh installs them)";
  EngineInstalled engine;
  TempDir dir;
  workbook::Workbook book;
  std::string manifest;
  MakeBook(book, manifest);
  const std::string file = dir.File("ours.xls");
  ASSERT_TRUE(SaveBookToFile(book, file).empty());
  std::ofstream(dir.File("m.json")) << manifest;
  const std::string expect = " --expect " + Quote(dir.File("m.json") + ":ours.xls");
  int rc = -1;
  std::string report = Shell(
      Quote(Python()) + " " + Quote(Interop() + "/peer_dump.py") + " " + Quote(file) + expect, rc);
  EXPECT_EQ(rc, 0) << "xlrd:\n" << report;

  if (!HaveNode()) GTEST_SKIP() << "no SheetJS (scripts/peers.sh installs it)";
  const std::string dump = dir.File("sheetjs.json");
  report = Shell("cd " + Quote(Interop()) + " && node sheetjs_peer.js dump " + Quote(file) + " > " +
                     Quote(dump),
                 rc);
  ASSERT_EQ(rc, 0) << report;
  // SheetJS reads no cell formatting from this format: fonts are compared with xlrd only.
  report = Shell(Quote(Python()) + " " + Quote(Interop() + "/peer_dump.py") + " --dump " +
                     Quote(dump) + expect + " --ignore fonts",
                 rc);
  EXPECT_EQ(rc, 0) << "SheetJS:\n" << report;
}

}  // namespace
}  // namespace xls
#endif
