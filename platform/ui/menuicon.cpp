// Menu item icons from the items' check-mark bitmaps.

#include "platform/ui/WindowTable.h"

#include <QIcon>

namespace qvui {

QIcon MenuIcon(HBITMAP, HBITMAP) { return QIcon(); }

}  // namespace qvui
