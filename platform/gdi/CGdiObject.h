#pragma once
// CGdiObject: the base of the MFC wrappers of GDI objects (CPen, CBrush, CFont, CBitmap, CRgn,
// CPalette). A wrapper owns the handle it holds: the destructor deletes it unless it was
// detached.
//
// FromHandle gives the wrapper attached to a handle, or a temporary one (of the class that fits
// the object) owned by the calling thread; temporary wrappers stay valid until that thread calls
// DeleteTempMap (the idle pass of the message loop does) or ends.

#include "platform/core/CObject.h"
#include "platform/gdi/gdi.h"

class CGdiObject : public CObject {
  DECLARE_DYNCREATE(CGdiObject)
public:
  CGdiObject() = default;
  ~CGdiObject() override;

  static CGdiObject* FromHandle(HGDIOBJ handle);
  static void DeleteTempMap();

  // FALSE when the wrapper already holds a handle or the handle is null.
  BOOL Attach(HGDIOBJ handle);
  HGDIOBJ Detach();
  // Deletes the object and empties the wrapper; FALSE when there is none or it cannot go.
  BOOL DeleteObject();
  BOOL CreateStockObject(int index);

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  int GetObject(int size, LPVOID buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
  UINT GetObjectType() const { return UINT(::GetObjectType(m_hObject)); }

  HGDIOBJ m_hObject { nullptr };
};
