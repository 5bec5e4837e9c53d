#pragma once
// Drag and drop inside this program: data sources, data objects and drop targets.

#include "platform/ui/ole/COleDataObject.h"
#include "platform/ui/ole/COleDataSource.h"
#include "platform/ui/ole/COleDropTarget.h"

// Prepares the program for drag and drop. Nothing needs preparing here (drags stay inside this
// program and need no system service), so it always succeeds.
BOOL AfxOleInit();
