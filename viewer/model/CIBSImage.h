#pragma once
// One image file of a published document.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CIBSImage : public CObject {
  DECLARE_DYNCREATE(CIBSImage)
public:
  void SetPath(LPCWSTR path) { m_strPath = path; }
  CString GetPath() const { return m_strPath; }

private:
  CString m_strPath;
};
