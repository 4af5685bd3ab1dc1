#include "printing/Paginator.h"

#include <algorithm>
#include <cmath>

namespace printing {

std::vector<Band> CutBands(const std::vector<ReportColumn>& items, int room, bool everyBand) {
  std::vector<Band> bands;
  const size_t n = items.size();
  if (n < 2) return bands;
  const bool headed = items[0].printed;
  const int heading = headed ? items[0].size : 0;
  size_t i = 1;
  int consumed = 0;  // pixels of item i shown on earlier bands
  while (true) {
    while (i < n && (!items[i].printed || items[i].size <= 0)) ++i;
    if (i >= n) break;
    Band band;
    band.heading = headed && (bands.empty() || everyBand);
    int space = room - (band.heading ? heading : 0);
    if (space < 1) {  // a heading larger than the page is left out rather than never ending
      band.heading = false;
      space = std::max(room, 1);
    }
    band.first = i;
    band.skip = consumed;
    band.last = i;
    int used = 0;
    bool pendingBreak = false;  // a break on an unprinted item moves to the next printed one
    while (i < n) {
      if (!items[i].printed || items[i].size <= 0) {
        pendingBreak = pendingBreak || items[i].breakBefore;
        ++i;
        continue;
      }
      // A custom break closes the band before its item (never leaving a band empty).
      if ((items[i].breakBefore || pendingBreak) && used > 0 && consumed == 0) break;
      pendingBreak = false;
      const int rest = items[i].size - consumed;
      if (used + rest <= space) {
        used += rest;
        consumed = 0;
        band.last = i;
        ++i;
        continue;
      }
      if (used == 0) {  // larger than a page: a piece of it
        used = space;
        consumed += space;
        band.last = i;
      }
      break;
    }
    band.length = used;
    bands.push_back(band);
  }
  return bands;
}

namespace {

Pagination At(const Report& report, int width, int height, double scale, bool everyBand) {
  Pagination p;
  p.scale = scale;
  p.contentWidth = std::max(1, static_cast<int>(std::floor(width / scale)));
  p.contentHeight = std::max(1, static_cast<int>(std::floor(height / scale)));
  p.across = CutBands(report.columns, p.contentWidth, everyBand);
  p.down = CutBands(report.rows, p.contentHeight, everyBand);
  return p;
}

}  // namespace

Pagination Paginate(const Report& report, const PageSettings& settings, bool headersOnEveryPage) {
  const int width = std::max(1, static_cast<int>(MmToPixels(settings.PrintableWidth())));
  const int height = std::max(1, static_cast<int>(MmToPixels(settings.PrintableHeight())));
  if (settings.fitPagesWide <= 0 && settings.fitPagesTall <= 0) {
    const int percent = std::clamp(settings.scalePercent, kMinScalePercent, kMaxScalePercent);
    return At(report, width, height, percent / 100.0, headersOnEveryPage);
  }
  const auto fits = [&](const Pagination& p) {
    return (settings.fitPagesWide <= 0 || p.across.size() <= size_t(settings.fitPagesWide)) &&
           (settings.fitPagesTall <= 0 || p.down.size() <= size_t(settings.fitPagesTall));
  };
  // Bisection over whole permille: the largest scale that fits.
  int lo = kMinScalePercent * 10, hi = 1000;
  Pagination best = At(report, width, height, hi / 1000.0, headersOnEveryPage);
  if (fits(best)) return best;
  best = At(report, width, height, lo / 1000.0, headersOnEveryPage);
  if (!fits(best)) return best;
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    Pagination p = At(report, width, height, mid / 1000.0, headersOnEveryPage);
    if (fits(p)) {
      lo = mid;
      best = std::move(p);
    } else {
      hi = mid;
    }
  }
  return best;
}

}  // namespace printing
