#include "framework/app/CQVDocument.h"

#include "framework/app/CQVWinApp.h"

IMPLEMENT_DYNCREATE(CQVDocument, CDocument)

CQVDocument::CQVDocument() { CQVWinApp::RegisterDocument(this, TRUE); }

CQVDocument::~CQVDocument() { CQVWinApp::RegisterDocument(this, FALSE); }
