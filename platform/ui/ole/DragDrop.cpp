#include "platform/ui/ole/DragDrop.h"

BOOL AfxOleInit() { return TRUE; }
