#include "platform/gdi/CPen.h"

IMPLEMENT_DYNAMIC(CPen, CGdiObject)

CPen* CPen::FromHandle(HPEN handle) { return static_cast<CPen*>(CGdiObject::FromHandle(handle)); }
