#include "foundation/imaging/CQVAIP.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/sdk/CQVException.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

IMPLEMENT_DYNAMIC(CQVAIP, CObject)

namespace {

constexpr int kBright = 100;         // a grey level above this is bright
constexpr int kWorkSide = 800;       // the work copy's smaller side, when both are larger
constexpr int kQuarterTurn = 9000;   // hundredths of a degree
constexpr UINT kGrowCanvas = 0;      // rotate flags: the canvas follows the picture
constexpr UINT kKeepSize = 3;        // rotate flags: the picture keeps its size
constexpr COLORREF kWhite = RGB(255, 255, 255);

using Histogram = std::array<DWORD, 256>;

// Row access for one scan: taken once, released when the scan ends, also on failure.
class RowReader {
public:
  explicit RowReader(CQVBitmapHandle& bitmap) : m_bitmap(bitmap) {
    if (!m_bitmap.AccessRowData(m_row)) CQVException::Throw();
  }
  ~RowReader() { m_bitmap.ReleaseRowData(m_row); }
  const BYTE* Row(int y) {
    if (!m_bitmap.GetRowData(y, m_row)) CQVException::Throw();
    return m_row.Lock();
  }

private:
  CQVBitmapHandle& m_bitmap;
  CDPXMemBuffer m_row;
};

// A grey copy of the page, reduced so that its smaller side is 800 pixels when both are larger.
// Colour and grey pages are reduced before they are made grey, which gives the same picture
// without a copy of the whole page; pages with a palette become grey first, so that the
// reduction averages their pixels.
std::unique_ptr<CQVBitmapHandle> MakeWorkCopy(CQVBitmapHandle& bitmap) {
  auto copy = std::make_unique<CQVBitmapHandle>();
  const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
  if (width <= kWorkSide || height <= kWorkSide) {
    if (!copy->Create(bitmap) || !copy->GrayScale()) CQVException::Throw();
    return copy;
  }
  const double factor = 1.0 / std::min(width * 0.00125, height * 0.00125);
  const int reducedWidth = int(width * factor), reducedHeight = int(height * factor);
  const int bits = bitmap.GetBitsPerPixel();
  if (bits >= 24 || (bits == 8 && bitmap.IsNormalGrayScale())) {
    if (!copy->Create(bitmap, reducedWidth, reducedHeight, 1)) CQVException::Throw();
  } else if (!copy->Create(bitmap) || !copy->GrayScale() || !copy->Resize(reducedWidth, reducedHeight, 1)) {
    CQVException::Throw();
  }
  if (!copy->GrayScale()) CQVException::Throw();
  return copy;
}

// The first run of at least 10 rows whose left edge is bright: each row's first bright column.
// A shorter run is passed over; a run still open at the last row is taken as it is.
std::vector<POINT> ScanLeftEdge(CQVBitmapHandle& grey) {
  RowReader rows(grey);
  const int width = grey.GetWidth(), height = grey.GetHeight();
  const int columns = std::max(width - 1, 0);
  std::vector<POINT> run;
  for (int y = 0; y < height; ++y) {
    const BYTE* row = rows.Row(y);
    const BYTE* edge = std::find_if(row, row + columns, [](BYTE v) { return v > kBright; });
    if (edge != row + columns) {
      run.push_back(POINT {LONG(edge - row), LONG(y)});
      continue;
    }
    if (run.size() >= 2 && run.back().y - run.front().y >= 10) break;
    run.clear();
  }
  return run;
}

// The clockwise tilt (radians) of the page side that a run follows. The run follows the left side
// down to a corner and the top or bottom side beyond it; there the first bright column jumps by
// more than a column a row. A least-squares line through the points of the left side alone,
// away from its corners, measures the tilt; its two ends alone would be off by the width of a
// corner's step, which on a slight tilt is as large as the tilt itself.
std::optional<double> SideTilt(const std::vector<POINT>& run) {
  constexpr size_t kReach = 5;  // rows on either side that must continue the side's line
  double sumY = 0, sumX = 0, sumYY = 0, sumXY = 0;
  int count = 0;
  for (size_t i = kReach; i + kReach < run.size(); ++i) {
    if (std::abs(run[i + kReach].x - run[i - kReach].x) >= LONG(2 * kReach)) continue;
    const double x = run[i].x, y = run[i].y - run.front().y;
    sumY += y, sumX += x, sumYY += y * y, sumXY += x * y;
    ++count;
  }
  if (count < 10) return std::nullopt;
  const double spreadY = sumYY - sumY * sumY / count;
  if (spreadY <= 0) return std::nullopt;
  // The left side leans to the left going down when the page is turned clockwise.
  return -std::atan((sumXY - sumX * sumY / count) / spreadY);
}

// The share of rows from the top, before the first one whose bright pixels exceed a tenth of
// the width, and the same from the bottom; 0 when there is no such row or it is the edge row.
void BrightBands(CQVBitmapHandle& grey, double& fromTop, double& fromBottom) {
  RowReader rows(grey);
  const int width = grey.GetWidth(), height = grey.GetHeight();
  const auto qualifies = [&](int y) {
    const BYTE* row = rows.Row(y);
    const auto bright = std::count_if(row, row + width, [](BYTE v) { return v > kBright; });
    return double(bright) / width > 0.1;
  };
  fromTop = fromBottom = 0;
  int top = 0;
  while (top < height && !qualifies(top)) ++top;
  if (top == height) return;
  fromTop = double(top) / height;
  int bottom = height - 1;
  while (bottom > top && !qualifies(bottom)) --bottom;
  fromBottom = double(height - bottom - 1) / height;
}

void Count(Histogram& histogram, const BYTE* values, int count, int stride) {
  for (int i = 0; i < count; ++i) ++histogram[values[i * stride]];
}

// The most frequent level; the lowest one on a tie.
int Peak(const Histogram& histogram) {
  return int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
}

}  // namespace

CQVBitmapHandle* CQVAIP::ScaleToGray(CQVBitmapHandle& bitmap, bool makeCopy) {
  std::unique_ptr<CQVBitmapHandle> copy;
  CQVBitmapHandle* target = &bitmap;
  if (makeCopy) {
    copy = std::make_unique<CQVBitmapHandle>();
    if (!copy->Create(bitmap)) return nullptr;
    target = copy.get();
  }
  int smoothing[9] = {1, 2, 1, 2, 8, 2, 1, 2, 1};
  if (!target->GrayScale() || !target->SpecialFilter(20, 0, 3, smoothing)) return nullptr;
  copy.release();
  return target;
}

BOOL CQVAIP::Deskew(CQVBitmapHandle& bitmap, int& angle) {
  try {
    std::unique_ptr<CQVBitmapHandle> grey = MakeWorkCopy(bitmap);
    {
      Histogram histogram {};
      RowReader rows(*grey);
      for (int y = 0; y < grey->GetHeight(); ++y) Count(histogram, rows.Row(y), grey->GetWidth() - 1, 1);
      if (Peak(histogram) <= 104) return FALSE;  // a dark page has no bright edge to follow
    }
    const std::optional<double> leftSide = SideTilt(ScanLeftEdge(*grey));
    if (!leftSide) return FALSE;
    // A quarter turn keeps the page's tilt and brings its bottom side to the left.
    if (!grey->Rotate(kQuarterTurn, kGrowCanvas, kWhite)) return FALSE;
    const std::optional<double> bottomSide = SideTilt(ScanLeftEdge(*grey));
    if (!bottomSide) return FALSE;
    if (std::abs(*leftSide - *bottomSide) > 0.1) return FALSE;  // not the sides of one rectangle
    const double tilt = (*leftSide + *bottomSide) * 0.5 * 5729.577951471995;
    // A clockwise tilt is reported as the direction of the page's left side, near -90 degrees,
    // and a counter-clockwise one as that of its top side; the turn back is the rest to a quarter
    // turn or the angle itself. Small skews are left alone in either direction, so the 3-degree
    // limit applies to the turn back, not to the reported direction.
    angle = int(tilt > 0 ? tilt - kQuarterTurn : tilt);
    const int correction = angle < -4500 ? -kQuarterTurn - angle : -angle;
    if (correction > -300 && correction < 300) {
      angle = 0;
      return TRUE;
    }
    // The corners that the turn uncovers are filled white, not black, so that the page does not get
    // dark wedges (which a later crop would take for scanner background).
    return bitmap.Rotate(correction, kKeepSize, kWhite);
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CQVAIP::AutoCrop(CQVBitmapHandle& bitmap) {
  try {
    std::unique_ptr<CQVBitmapHandle> grey = MakeWorkCopy(bitmap);
    double top = 0, bottom = 0, left = 0, right = 0;
    BrightBands(*grey, top, bottom);
    if (top == 0 || bottom == 0) return FALSE;
    if (!grey->Rotate(kQuarterTurn, kGrowCanvas, kWhite)) return FALSE;
    BrightBands(*grey, left, right);
    if (left == 0 || right == 0) return FALSE;
    const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
    const CRect keep(int(width * left), int(height * top), int((1 - right) * width), int((1 - bottom) * height));
    if (keep.left >= keep.right) return FALSE;
    // In picture coordinates, whatever the order of the bitmap's rows in memory.
    return bitmap.Crop(keep);
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CQVAIP::IsBlankImage(CQVBitmapHandle& bitmap, BOOL& isBlank, BID_PARAM* parameters) {
  isBlank = FALSE;
  const BID_PARAM p = parameters ? *parameters : BID_PARAM();
  if (!(p.margin >= 0 && p.margin < 0.5) || p.window < 0 || !(p.threshold >= 0 && p.threshold <= 1)) return FALSE;
  const int bitsPerPixel = bitmap.GetBitsPerPixel();
  if (bitmap.IsEmpty() || (bitsPerPixel != 8 && bitsPerPixel != 24)) return TRUE;
  const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
  const int mx = int(width * p.margin), my = int(height * p.margin);
  const int columns = width - 2 * mx, rowCount = height - 2 * my;
  if (columns <= 0 || rowCount <= 0) return FALSE;
  const int channels = bitsPerPixel / 8;
  std::array<Histogram, 3> histograms {};
  try {
    RowReader rows(bitmap);
    for (int y = my; y < height - my; ++y) {
      const BYTE* row = rows.Row(y) + mx * channels;
      for (int c = 0; c < channels; ++c) Count(histograms[size_t(c)], row + c, columns, channels);
    }
  } catch (CException* e) {
    e->Delete();
    return TRUE;  // a failed row access: not blank
  }
  const double examined = double(columns) * rowCount;
  isBlank = TRUE;
  for (int c = 0; c < channels; ++c) {
    const Histogram& h = histograms[size_t(c)];
    const int peak = Peak(h);
    DWORD sum = 0;
    for (int level = std::max(peak - p.window, 0); level <= std::min(peak + p.window, 255); ++level) sum += h[size_t(level)];
    if (sum / examined < p.threshold) isBlank = FALSE;
  }
  return TRUE;
}
