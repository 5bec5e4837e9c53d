#include "platform/ui/afxole.h"

BOOL AfxOleInit() { return TRUE; }
