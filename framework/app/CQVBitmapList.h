#pragma once
// CQVBitmapList: device-dependent bitmaps of the language files, kept by key, size and mirroring,
// for menu icons and the like. One entry per key: asking for a key in another size or mirroring
// replaces its entry, and the bitmap handed out before is gone with it.

#include "foundation/language/CQVRCMModule.h"
#include "foundation/util/CDPXObList.h"
#include "platform/gdi/CBitmap.h"

class __CQVBitmapListItem : public CObject {
  DECLARE_DYNCREATE(__CQVBitmapListItem)
public:
  CString m_strKey;           // the key the bitmap was loaded by
  CBitmap m_bitmap;           // owned, for the display
  BOOL m_bMirrored { FALSE }; // mirrored left-right before conversion
  // The size of the image in the language file, from which a request's size is worked out.
  int m_nSourceWidth { 0 };
  int m_nSourceHeight { 0 };
};

class CQVBitmapList : public CObject, public virtual CQVRCMModule {
  DECLARE_DYNCREATE(CQVBitmapList)
public:
  // Deletes every entry with its bitmap.
  void Reset();
  // The bitmap of key at cx by cy, mirrored when asked; null when it cannot be made. With only
  // one of cx, cy above 0 the other follows the image's aspect ratio; with neither the image
  // keeps its own size. The bitmap belongs to the cache and lives until its entry is replaced,
  // the cache reset or destroyed.
  CBitmap* GetBitmap(LPCWSTR key, int cx, int cy, BOOL mirrored);

protected:
  // The first entry of key, compared without regard to case; null for none.
  POSITION FindItem(LPCWSTR key);
  // TRUE when the entry's bitmap is cx wide (when cx > 0), cy high (when cy > 0) and mirrored as
  // asked.
  BOOL CheckItem(POSITION pos, int cx, int cy, BOOL mirrored);

private:
  CDPXObList m_cache;  // of __CQVBitmapListItem, owned, in the order made
};
