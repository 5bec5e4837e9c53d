#pragma once
// A 1-bit page reduced to grey row by row, for drawing straight onto a screen: each pixel is the
// dark share of the area it covers, so that thin lines stay visible in a reduced page.

#include "platform/gdi/RowPicture.h"
#include "platform/imaging/Bitmap.h"

#include <memory>

namespace imaging {

class GreyRows : public gdi::RowPicture {
public:
  // The view rectangle of the source (clipped to it) at the given size. The source must stay
  // unchanged while rows are asked for.
  GreyRows(const Bitmap& source, const RECT& sourceRect, int width, int height);
  ~GreyRows() override;
  GreyRows(const GreyRows&) = delete;
  GreyRows& operator=(const GreyRows&) = delete;

  // A 1-bit source with two palette entries, a rectangle that meets it and a size of at least 1.
  bool IsValid() const { return m_state != nullptr; }
  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  // Opaque 0xFFRRGGBB greys.
  void Row(int y, int x, int count, uint32_t* out) const override;
  // Grey levels of a whole row.
  void Levels(int y, BYTE* out) const;

private:
  struct State;
  template <class Pixel>
  void Make(int y, Pixel* out) const;

  int m_width{0};
  int m_height{0};
  std::unique_ptr<State> m_state;
};

}  // namespace imaging
