#pragma once
// CQVSCLItem: one screen layout opened from the shared store (CQVSCLManager::Open). Its keys are
// in the "Screen Layout" section of the working copy's "profile" file and its dock state in the
// working copy's "dockstate" file; everything acts on the working copy, which the store's Close
// puts in place of the layout (Discard drops it). Destroying an open item discards it.

#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/CQVGPMIO.h"
#include "platform/core/CRect.h"

class CDPXGMemBuffer;

class CQVSCLItem : public CObject, public CQVGPMIO {
  DECLARE_DYNAMIC(CQVSCLItem)
public:
  static constexpr const char16_t* kSection = u"Screen Layout";

  CQVSCLItem() = default;
  ~CQVSCLItem() override;

  BOOL Set(LPCWSTR key, LPCWSTR value);
  BOOL Get(LPCWSTR key, CString& value);
  // "%d"; Get is TRUE only for a value that reads as a number.
  BOOL Set(LPCWSTR key, int value);
  BOOL Get(LPCWSTR key, int& value);

  // The text of "SCL.DisplayNameID" when the language files have that key, else
  // "SCL.DisplayName", else the layout's ID; each trimmed. Always TRUE.
  BOOL Get_DisplayName(CString& name);
  // TRUE when both keys were written.
  BOOL Set_ScreenSize(int width, int height);
  // A missing key leaves its value as it was. Always TRUE.
  BOOL Get_ScreenSize(int& width, int& height);
  // The rectangle normalised, as left, top, width and height; TRUE when all four were written.
  BOOL Set_WindowRect(CRect rect);
  // Missing values are 0, as are a width or height that is not positive. Always TRUE.
  BOOL Get_WindowRect(CRect& rect);
  BOOL Set_Language(LPCWSTR name);
  BOOL Get_Language(CString& name);
  // Writes the buffer as the working copy's dock-state file; on failure there is none.
  BOOL Set_DockState(CDPXGMemBuffer& state);
  // Reads the working copy's dock-state file; on failure the buffer is empty.
  BOOL Get_DockState(CDPXGMemBuffer& state);

protected:
  BOOL OnOpen(LPCWSTR workingPath, BOOL readOnly) override;
  void OnClose(LPCWSTR workingPath, BOOL readOnly, BOOL discard) override;

  static void GetProfileFilename(LPCWSTR folder, CString& path);
  static void GetDockStateFilename(LPCWSTR folder, CString& path);

  CDPXScriptFile m_profile;
};
