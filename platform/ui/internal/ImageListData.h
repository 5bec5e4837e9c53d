#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: the record behind an image list handle, and its pictures for the
// controls that show them.

#include "platform/ui/comctl/commctrl.h"

#include <QImage>
#include <QPixmap>

#include <vector>

namespace qvui {

struct ImageListData {
  int cx {};
  int cy {};
  bool masked {};
  COLORREF background {CLR_NONE};
  std::vector<QImage> images;  // ARGB: the masked-out pixels are transparent
};

// The picture at the index (null when there is none).
QPixmap ImageListPixmap(HIMAGELIST list, int index);
QSize ImageListSize(HIMAGELIST list);

}  // namespace qvui
