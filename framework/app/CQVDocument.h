#pragma once
// CQVDocument: the document base of programs built on the kernel. The first one made is the
// application's current document until it goes.

#include "platform/ui/afx/CDocument.h"

class CQVDocument : public CDocument {
  DECLARE_DYNCREATE(CQVDocument)
public:
  CQVDocument();
  ~CQVDocument() override;
};
