// Printing through the system spooler: the print dialog (or the default printer) gives a
// printer context; pages are drawn through GdiCanvas with a mapping from screen pixels (96
// per inch) to the printer's resolution. Every spooler and GDI call is checked; the first
// failure throws PrintError naming the call, and the job is aborted.
#include <windows.h>
// cderr.h and commdlg.h need the types of windows.h first.
#include <cderr.h>
#include <commdlg.h>

#include <cmath>

#include "ui/Form.h"
#include "ui/PrintDocument.h"
#include "ui/win32/GdiCanvas.h"

namespace ui {

namespace {

[[noreturn]] void Fail(const std::string& call) {
  throw PrintError("Printing failed: " + call + " (error " + std::to_string(GetLastError()) + ")");
}

class SpoolerDocument : public PrintDocument {
 public:
  SpoolerDocument(HDC dc, const std::string& title) : dc_(dc) {
    dpiX_ = GetDeviceCaps(dc_, LOGPIXELSX);
    dpiY_ = GetDeviceCaps(dc_, LOGPIXELSY);
    offsetX_ = GetDeviceCaps(dc_, PHYSICALOFFSETX);
    offsetY_ = GetDeviceCaps(dc_, PHYSICALOFFSETY);
    pageW_ = GetDeviceCaps(dc_, HORZRES);
    pageH_ = GetDeviceCaps(dc_, VERTRES);
    if (dpiX_ <= 0 || dpiY_ <= 0 || pageW_ <= 0 || pageH_ <= 0) {
      DeleteDC(dc_);
      dc_ = nullptr;
      throw PrintError("Printing failed: the printer reports no page size");
    }
    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    if (StartDocA(dc_, &info) <= 0) {
      const DWORD error = GetLastError();
      DeleteDC(dc_);
      dc_ = nullptr;
      throw PrintError("Printing failed: StartDoc (error " + std::to_string(error) + ")");
    }
    started_ = true;
  }
  ~SpoolerDocument() override {
    if (started_ && !finished_) AbortDoc(dc_);
    if (dc_) DeleteDC(dc_);
  }

  void StartPage() override {
    if (::StartPage(dc_) <= 0) Fail("StartPage");
  }

  std::unique_ptr<Canvas> PageCanvas(double scale, Point origin) override {
    // Logical units are screen pixels times scale from the origin; the printable area starts
    // at the physical offset, so the paper's corner is -offset in device units.
    if (SetMapMode(dc_, MM_ANISOTROPIC) == 0) Fail("SetMapMode");
    const int unit = 9600;
    if (!SetWindowExtEx(dc_, unit, unit, nullptr)) Fail("SetWindowExtEx");
    if (!SetViewportExtEx(dc_, static_cast<int>(std::lround(dpiX_ * scale * 100)),
                          static_cast<int>(std::lround(dpiY_ * scale * 100)), nullptr))
      Fail("SetViewportExtEx");
    const int ox = static_cast<int>(std::lround(origin.x * dpiX_ / 96.0)) - offsetX_;
    const int oy = static_cast<int>(std::lround(origin.y * dpiY_ / 96.0)) - offsetY_;
    if (!SetViewportOrgEx(dc_, ox, oy, nullptr)) Fail("SetViewportOrgEx");
    const int w = static_cast<int>((pageW_ - ox) * 96.0 / (dpiX_ * scale));
    const int h = static_cast<int>((pageH_ - oy) * 96.0 / (dpiY_ * scale));
    return std::make_unique<GdiCanvas>(dc_, Size{w, h});
  }

  void EndPage() override {
    if (::EndPage(dc_) <= 0) Fail("EndPage");
  }

  void Finish() override {
    if (EndDoc(dc_) <= 0) Fail("EndDoc");
    finished_ = true;
  }

 private:
  HDC dc_;
  int dpiX_ = 0, dpiY_ = 0, offsetX_ = 0, offsetY_ = 0, pageW_ = 0, pageH_ = 0;
  bool started_ = false;
  bool finished_ = false;
};

// Sets paper and orientation in the dialog's device mode before the context is made.
void ApplyPaper(HGLOBAL devMode, int paperCode, bool landscape) {
  if (!devMode) return;
  auto* dm = static_cast<DEVMODEA*>(GlobalLock(devMode));
  if (!dm) return;
  dm->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
  dm->dmPaperSize = static_cast<short>(paperCode);
  dm->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  GlobalUnlock(devMode);
}

// The printer chosen in the print dialog (or the default printer when `dialog` is false) with
// the paper and orientation asked for. Null when the user cancelled the dialog; throws
// PrintError when there is no printer or a spooler call fails.
std::unique_ptr<PrintDocument> OpenSpooler(const std::string& title, bool dialog, int paperCode,
                                           bool landscape, HWND owner) {
  PRINTDLGA pd{};
  pd.lStructSize = sizeof(pd);
  // Owned by the window's top-level window, so that the print dialog is modal to the host.
  pd.hwndOwner = owner;
  pd.Flags = PD_RETURNDEFAULT;
  // First the default printer's settings, so that the paper can be set before the dialog.
  if (!PrintDlgA(&pd)) {
    const DWORD error = CommDlgExtendedError();
    if (error == 0 || error == PDERR_NODEFAULTPRN)
      throw PrintError("Printing failed: no printer is installed");
    throw PrintError("Printing failed: PrintDlg (error " + std::to_string(error) + ")");
  }
  ApplyPaper(pd.hDevMode, paperCode, landscape);
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | (dialog ? 0 : PD_RETURNDEFAULT);
  if (!dialog) {
    // The settings just read, without the dialog: make the context from them.
    pd.Flags = PD_RETURNDC;
    auto* names = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
    auto* dm = static_cast<DEVMODEA*>(GlobalLock(pd.hDevMode));
    HDC dc =
        names ? CreateDCA(reinterpret_cast<const char*>(names) + names->wDriverOffset,
                          reinterpret_cast<const char*>(names) + names->wDeviceOffset, nullptr, dm)
              : nullptr;
    if (names) GlobalUnlock(pd.hDevNames);
    if (dm) GlobalUnlock(pd.hDevMode);
    GlobalFree(pd.hDevNames);
    GlobalFree(pd.hDevMode);
    if (!dc) Fail("CreateDC");
    return std::make_unique<SpoolerDocument>(dc, title);
  }
  const BOOL chosen = PrintDlgA(&pd);
  const DWORD error = chosen ? 0 : CommDlgExtendedError();
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (!chosen) {
    if (error == 0) return nullptr;  // cancelled
    throw PrintError("Printing failed: PrintDlg (error " + std::to_string(error) + ")");
  }
  if (!pd.hDC) throw PrintError("Printing failed: the print dialog returned no printer");
  return std::make_unique<SpoolerDocument>(pd.hDC, title);
}

}  // namespace

std::unique_ptr<PrintDocument> CreatePdfDocument(const std::string&, double, double) {
  throw PrintError("PDF output is not available in this build");
}

std::unique_ptr<PrintDocument> ChoosePrintDocument(bool dialog, const std::string& title,
                                                   int paperCode, double, double, bool landscape,
                                                   Form* owner) {
  HWND ownerRoot = nullptr;
  if (owner != nullptr) {
    HWND window = reinterpret_cast<HWND>(owner->Peer().NativeHandle());
    if (window != nullptr && IsWindow(window)) ownerRoot = GetAncestor(window, GA_ROOT);
  }
  return OpenSpooler(title, dialog, paperCode, landscape, ownerRoot);
}

}  // namespace ui
