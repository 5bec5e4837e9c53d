#pragma once
// CDPXBitmapButton: an owner-drawn button with six pictures from a language file's button item
// and the item's four numbers. The button shows picture 1 when up, 2 when pressed, 3 when it has
// the focus and 4 when disabled; a missing picture falls back to picture 1. Pictures 5 and 6 and
// the numbers are kept for the windows that use them (numbers 3 and 4 are the size of a blank
// face).

#include "foundation/imaging/CDPXDIBHandle.h"
#include "platform/gdi/CBitmap.h"
#include "platform/ui/afx/CButton.h"

#include <algorithm>

class CDPXBitmapButton : public CButton {
  DECLARE_DYNAMIC(CDPXBitmapButton)
public:
  // Replaces the six pictures: picture 1 must convert (FALSE otherwise, the others are then
  // empty); pictures 2 to 6 convert when they are there.
  BOOL SetImages(CDPXDIBHandle& image1, CDPXDIBHandle& image2, CDPXDIBHandle& image3, CDPXDIBHandle& image4,
                 CDPXDIBHandle& image5, CDPXDIBHandle& image6, int number1, int number2, int number3, int number4);
  // Picture 1 to 6 (an empty bitmap when missing) and number 1 to 4.
  CBitmap& GetImage(int index) { return m_images[std::clamp(index, 1, 6) - 1]; }
  int GetNumber(int index) const { return m_numbers[std::clamp(index, 1, 4) - 1]; }
  // Makes the button as big as picture 1.
  void SizeToContent();

  void DrawItem(LPDRAWITEMSTRUCT item) override;

private:
  CBitmap m_images[6];
  int m_numbers[4] {};
};
