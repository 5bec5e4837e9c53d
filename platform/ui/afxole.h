#pragma once
// Drag and drop inside this program: data sources, data objects and drop targets.

#include "platform/ui/COleDataObject.h"
#include "platform/ui/COleDataSource.h"
#include "platform/ui/COleDropTarget.h"

// Prepares the program for drag and drop. Nothing needs preparing here (drags stay inside this
// program and need no system service), so it always succeeds.
BOOL AfxOleInit();
