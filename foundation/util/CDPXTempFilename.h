#pragma once
// CDPXTempFilename: holds a new, uniquely named, empty file in the system's temporary folder
// ("dp" + hexadecimal digits + ".tmp") and deletes it when a new one is made, on Delete and when
// the holder goes away, unless it was let go with Detach.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CDPXTempFilename : public CObject {
public:
  CDPXTempFilename() = default;
  // With `create`, makes the first file at once.
  explicit CDPXTempFilename(BOOL create);
  ~CDPXTempFilename() override;

  // Deletes the file held so far and makes a new one. FALSE, with `name` empty, on failure.
  BOOL Create(CString& name);
  BOOL Create();
  CString GetFilename() const { return m_strFilename; }
  void Delete();
  // Forgets the file without deleting it.
  void Detach() { m_strFilename.Empty(); }

private:
  CString m_strFilename;
};
