#pragma once
// Two fixed tables: language tags of Windows locale identifiers, and the names of virtual-key
// codes. The first row that matches wins in every direction.

#include "platform/core/CString.h"

// The lower-case tag of the locale ("de-de"); empty when the table has no row for it.
void DPXLcidToLocaleName(LCID lcid, CString& out);
// The VK_ name of a key code; empty when the table has no row for it.
void DPXVirtualKeyToName(int key, CString& out);
// The code of a VK_ name (any letter case), or of a single digit or letter ('q' gives the code of
// Q); 0 for anything else.
void DPXNameToVirtualKey(LPCWSTR name, int& key);
