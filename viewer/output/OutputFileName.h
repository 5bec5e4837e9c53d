#pragma once
// What the viewer's save dialogs share: they change the chosen name (an extension added or
// replaced) after the file dialog has asked about replacing the file it was given, so they ask
// again about the name that will really be written.

#include "platform/ui/afx/CFileDialog.h"

// The path with ".ext" appended unless its file name ends in it already, in any letter case.
CString AppendExtension(const CString& path, LPCWSTR extension);

// TRUE when the final path may be written: it is the name the file dialog checked already, the
// dialog does not ask before replacing, no file is there, or the user agrees to replace it.
BOOL ConfirmFinalPath(CFileDialog& dialog, const CString& chosen, const CString& final);
