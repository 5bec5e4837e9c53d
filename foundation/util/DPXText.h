#pragma once
// Text conversion between wide and 8-bit strings, and splitting a text into a string list.

#include "platform/core/CString.h"

class CDPXStringList;

// Converts through the code page (CP_ACP or CP_UTF8). A null input gives TRUE and an empty output;
// on failure the output is empty and the result FALSE.
BOOL DPXWideToMultiByte(LPCWSTR text, CStringA& out, UINT codePage);
BOOL DPXMultiByteToWide(LPCSTR text, CString& out, UINT codePage);

// Cuts the trimmed text at every character of `delimiters` ("," when null) into `out`, which is
// reset to keep its pieces as they come, trimmed at both ends, empty ones included. A final
// delimiter adds an empty piece. Returns the number of pieces; 0 for a blank text.
int DPXSplitString(LPCWSTR text, CDPXStringList& out, LPCWSTR delimiters = nullptr);
