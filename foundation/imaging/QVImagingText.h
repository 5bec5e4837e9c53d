#pragma once
// Language texts that the imaging layer writes into the files it makes (TIFF tags, PDF document
// information), in the ANSI code page as the file formats carry them.

#include "platform/core/wintypes.h"

#include <string>

std::string QVLoadAnsiText(LPCWSTR key);
