#pragma once
// What the output tests share: the viewer's texts from the tests' own language file, and commands
// run to check what the outputs wrote.

#include "platform/core/CString.h"

class CIBSPlant;

#include <string>
#include <vector>

// Registers ViewerOutputTest.drs (the viewer's texts) for the program and switches to English.
void UseViewerTexts();

// Opens the folder of published batches and finds every document, the query holding `field` (any
// value) when one is given. Answers the number of hits, -1 when the batches cannot be opened.
int SearchAllDocuments(CIBSPlant& plant, const CString& batches, LPCWSTR field = nullptr);

// Runs the command line through the shell; its exit code, and what it wrote to standard output
// and standard error together in `output`.
int RunCommand(const std::string& command, std::string& output);

// The command that starts Python 3: the system's own where it is, else the first on the path.
std::string Python();

// The source folder's path of a file of these tests.
std::string TestSource(const std::string& relative);
