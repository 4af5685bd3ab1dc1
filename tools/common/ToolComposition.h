#pragma once
// The composition root of the command-line programs that build books (sstool, the benchmarks,
// the fuzz entry points): one call at the start of main, before the first book.
//
// What it wires: the formula engine, the workbook file reader and writer, the platform
// clipboard, a terminal password prompt (nothing to ask with when input is redirected: the
// request is cancelled); engine messages have no place on a command line and are dropped
// (each book's formula cache still keeps its last messages).
//
// sfs and nbhost build no books: sfs passes its terminal and its password prompt to every
// command through sfs::Context, and nbhost loads the plug-in, which composes itself.
#include "workbook/BookServices.h"

namespace tools {

// The services above, built afresh on every call.
workbook::BookServices CommandLineToolServices();

// Installs CommandLineToolServices(). Raises ESpreadSheetError when a part is missing.
void ComposeCommandLineTool();

}  // namespace tools
