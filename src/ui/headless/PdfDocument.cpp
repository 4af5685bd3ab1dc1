// PDF output of the portable build: one Cairo PDF surface, pages drawn through CairoCanvas in
// a user space scaled from points to screen pixels.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>

#include "ui/Dialogs.h"
#include "ui/PrintDocument.h"
#include "ui/headless/CairoCanvas.h"

namespace ui {

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0;

class PdfDocument : public PrintDocument {
 public:
  PdfDocument(const std::string& path, double width, double height)
      : path_(path), width_(width), height_(height) {
    surface_ = cairo_pdf_surface_create(path.c_str(), width, height);
    try {
      Check("create the file " + path);
    } catch (...) {
      Close();
      throw;
    }
    cr_ = cairo_create(surface_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
      Close();
      std::remove(path.c_str());
      throw PrintError("PDF output: cannot draw on " + path);
    }
  }
  ~PdfDocument() override {
    const bool failed = !finished_;
    Close();
    if (failed) std::remove(path_.c_str());
  }

  void StartPage() override {
    if (inPage_) throw PrintError("PDF output: a page was started twice");
    inPage_ = true;
  }

  std::unique_ptr<Canvas> PageCanvas(double scale, Point origin) override {
    if (!inPage_) throw PrintError("PDF output: no page started");
    cairo_identity_matrix(cr_);
    cairo_scale(cr_, kPointsPerPixel, kPointsPerPixel);
    cairo_translate(cr_, origin.x, origin.y);
    cairo_scale(cr_, scale, scale);
    const double w = (width_ / kPointsPerPixel - origin.x) / scale;
    const double h = (height_ / kPointsPerPixel - origin.y) / scale;
    return std::make_unique<CairoCanvas>(
        cr_, Size{static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h))});
  }

  void EndPage() override {
    if (!inPage_) throw PrintError("PDF output: no page started");
    cairo_show_page(cr_);
    inPage_ = false;
    Check("write a page");
  }

  void Finish() override {
    if (inPage_) EndPage();
    cairo_surface_finish(surface_);
    Check("finish the file " + path_);
    finished_ = true;
    Close();
  }

 private:
  void Check(const std::string& what) {
    const cairo_status_t s = cairo_surface_status(surface_);
    if (s != CAIRO_STATUS_SUCCESS)
      throw PrintError("PDF output: cannot " + what + ": " + cairo_status_to_string(s));
  }
  void Close() {
    if (cr_) cairo_destroy(cr_);
    cr_ = nullptr;
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = nullptr;
  }

  std::string path_;
  double width_, height_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  bool inPage_ = false;
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<PrintDocument> CreatePdfDocument(const std::string& path, double widthPoints,
                                                 double heightPoints) {
  return std::make_unique<PdfDocument>(path, widthPoints, heightPoints);
}

std::unique_ptr<PrintDocument> ChoosePrintDocument(bool dialog, const std::string&, int,
                                                   double widthPoints, double heightPoints, bool,
                                                   Form* owner) {
  if (!dialog) throw PrintError("No printer: this build prints to PDF files chosen in a dialog");
  FileDialog save;
  save.mode = FileDialog::Mode::Save;
  save.title = "Print to PDF";
  save.filter = "PDF|*.pdf";
  save.defaultExt = "pdf";
  if (!save.Execute(owner)) return nullptr;
  return CreatePdfDocument(save.fileName, widthPoints, heightPoints);
}

}  // namespace ui
