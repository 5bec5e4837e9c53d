#pragma once
// Drag and drop between windows of this program: the effects a drop can have, the key-state bit
// of the Alt key, and the clipboard format type the data object is asked about.

#include "platform/ui/win/winuser.h"

using DROPEFFECT = DWORD;
using CLIPFORMAT = WORD;

#define DROPEFFECT_NONE 0x00000000u
#define DROPEFFECT_COPY 0x00000001u
#define DROPEFFECT_MOVE 0x00000002u
#define DROPEFFECT_LINK 0x00000004u
// Added to an effect by a target that is scrolling itself under the cursor.
#define DROPEFFECT_SCROLL 0x80000000u

#define MK_ALT 0x0020
