#include "platform/gdi/CPalette.h"

IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

CPalette* CPalette::FromHandle(HPALETTE handle) { return static_cast<CPalette*>(CGdiObject::FromHandle(handle)); }
