#pragma once
// A printed document: pages handed out one after the other, each with canvases to draw on.
// The portable build writes PDF files through Cairo; the Windows build prints through the
// system spooler (GDI printer context).
//
// Protocol: StartPage, then any number of PageCanvas calls (each canvas is destroyed before
// the next is asked for and before EndPage), EndPage; after the last page Finish. Every
// failure throws PrintError with the operation that failed; after one the document is
// unusable and its destructor aborts the job (a spooled job is cancelled, a PDF file is
// removed). A document destroyed without Finish is aborted the same way.
#include <memory>
#include <stdexcept>
#include <string>

#include "ui/Canvas.h"
#include "ui/Geometry.h"

namespace ui {

class PrintError : public std::runtime_error {
 public:
  explicit PrintError(const std::string& message) : std::runtime_error(message) {}
};

class PrintDocument {
 public:
  virtual ~PrintDocument() = default;
  virtual void StartPage() = 0;
  // A canvas on the current page whose logical pixel is `scale` screen pixels (96 per inch)
  // and whose origin lies at `origin` screen pixels from the paper's top-left corner; its
  // surface size is the page's remaining extent in logical pixels.
  virtual std::unique_ptr<Canvas> PageCanvas(double scale, Point origin) = 0;
  virtual void EndPage() = 0;
  virtual void Finish() = 0;
};

// A PDF file of pages widthPoints x heightPoints (1/72 inch). Portable build only; throws
// PrintError when the file cannot be created.
std::unique_ptr<PrintDocument> CreatePdfDocument(const std::string& path, double widthPoints,
                                                 double heightPoints);

class Form;

// The document the print dialog chooses: on Windows the printer of the system's print dialog
// (or the default printer without the dialog); on the portable build a PDF file chosen in the
// save dialog "Print to PDF" (answered from the dialog queue headless). Null when the user
// cancelled; throws PrintError when there is no printer (portable build without the dialog)
// or the document cannot be made.
std::unique_ptr<PrintDocument> ChoosePrintDocument(bool dialog, const std::string& title,
                                                   int paperCode, double widthPoints,
                                                   double heightPoints, bool landscape,
                                                   Form* owner);

}  // namespace ui
