#pragma once
// The user's locale as a Windows locale identifier, taken from the environment the way POSIX
// programs take their message language: LC_ALL, then LC_MESSAGES, then LANG, the first that is
// set and not empty. "de_DE.UTF-8" gives 0x0407, "en_GB" 0x0809; a language alone gives its main
// country ("fr" is 0x040C); "C", "POSIX", nothing set, or a locale without an identifier give
// 0x0409. A modifier picks the script where Windows has one per script ("sr_RS@latin").

#include "platform/core/wintypes.h"

#define LANGIDFROMLCID(lcid) (static_cast<LANGID>((lcid) & 0xFFFF))

LCID GetUserDefaultLCID();
LANGID GetUserDefaultLangID();
// The same source as the user's: a Linux session has no separate system locale.
LCID GetSystemDefaultLCID();
