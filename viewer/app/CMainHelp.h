#pragma once
// The viewer's help: a file in the workstation's "Help" folder named after the language,
// "Seek-and-Show_en_us.html" (or ".pdf"), opened with the desktop's default viewer.

#include "platform/core/CString.h"
#include "platform/core/wintypes.h"

// The language the texts show in: the current one, or while none is set the language file's
// fallback language. FALSE when there is neither.
BOOL GetShownLanguage(CString& language);
// The help file's path without its extension: the workstation folder (ending in '/'), "Help/",
// "Seek-and-Show_" and the language tag with every '-' made '_'.
CString HelpFileBase(const CString& workstation, const CString& language);
// The first of the help file's forms that exists; FALSE when there is none.
BOOL FindHelpFile(const CString& workstation, const CString& language, CString& path);
// Hands the file to the desktop's opener ("xdg-open"); FALSE when that cannot be started.
BOOL OpenWithDesktop(const CString& path);
