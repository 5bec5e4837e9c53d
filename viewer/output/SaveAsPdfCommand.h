#pragma once
// Saving images as one PDF file as the user starts it: the save dialog for the file and the range,
// the task in the progress dialog, then the offer to open the file.

#include "viewer/model/CMainSettings.h"

class CIBSImageSource;
class CSaveAsPDFTask;
class CWnd;

// Asks for the file (and, unless `wholeDocument`, the range) with the save dialog, starting from
// `options` and the source's image count as the highest number; on OK the options take the choice
// and the images are written: the chosen range of a document browser's images, or with
// `wholeDocument` all of them. TRUE when the file was written.
BOOL SaveImagesAsPdf(CWnd* parent, CIBSImageSource& images, SaveAsPDFOption& options, BOOL wholeDocument);

// Runs the task in the progress dialog over `parent` ("TXT_TASK_CREATEPDF"). Only after a run that
// wrote the whole file is the user asked ("MSG_CONFIRM_OPENPDF") whether to open it, and on yes it
// opens with the desktop's viewer; a failed or stopped run has left no new file to offer. TRUE
// when the file was written.
BOOL RunPdfTask(CWnd* parent, CSaveAsPDFTask& task);
