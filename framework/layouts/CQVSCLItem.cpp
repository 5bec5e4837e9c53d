#include "framework/layouts/CQVSCLItem.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/fileapi.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CQVSCLItem, CObject)

namespace {
constexpr const char16_t* kDisplayNameID = u"SCL.DisplayNameID";
constexpr const char16_t* kDisplayName = u"SCL.DisplayName";
constexpr const char16_t* kScreenWidth = u"SCL.ScreenWidth";
constexpr const char16_t* kScreenHeight = u"SCL.ScreenHeight";
constexpr const char16_t* kWindowLeft = u"SCL.WindowLeft";
constexpr const char16_t* kWindowTop = u"SCL.WindowTop";
constexpr const char16_t* kWindowWidth = u"SCL.WindowWidth";
constexpr const char16_t* kWindowHeight = u"SCL.WindowHeight";
constexpr const char16_t* kLanguage = u"SCL.Language";
}  // namespace

CQVSCLItem::~CQVSCLItem() { Close(TRUE); }

BOOL CQVSCLItem::OnOpen(LPCWSTR workingPath, BOOL) {
  CString path;
  GetProfileFilename(workingPath, path);
  // A layout without a profile yet reads as an empty one, which the first key written creates.
  m_profile.Open(path);
  m_profile.SetCurrentSection(kSection);
  return TRUE;
}

void CQVSCLItem::OnClose(LPCWSTR, BOOL, BOOL) { m_profile.Open(u""); }

void CQVSCLItem::GetProfileFilename(LPCWSTR folder, CString& path) {
  path = folder;
  DPXAppendBackslash(path);
  path += u"profile";
}

void CQVSCLItem::GetDockStateFilename(LPCWSTR folder, CString& path) {
  path = folder;
  DPXAppendBackslash(path);
  path += u"dockstate";
}

BOOL CQVSCLItem::Set(LPCWSTR key, LPCWSTR value) { return IsOpen() && m_profile.SetString(key, value); }

BOOL CQVSCLItem::Get(LPCWSTR key, CString& value) { return IsOpen() && m_profile.GetString(key, value); }

BOOL CQVSCLItem::Set(LPCWSTR key, int value) { return IsOpen() && m_profile.SetInt(key, value); }

BOOL CQVSCLItem::Get(LPCWSTR key, int& value) { return IsOpen() && m_profile.GetInt(key, value); }

BOOL CQVSCLItem::Get_DisplayName(CString& name) {
  CString value;
  if (Get(kDisplayNameID, value) && !value.Trim().IsEmpty() && CQVRCM::LoadText(value, name)) {
    name.Trim();
    return TRUE;
  }
  if (Get(kDisplayName, value) && !value.Trim().IsEmpty()) {
    name = value;
    return TRUE;
  }
  GetID(name);
  name.Trim();
  return TRUE;
}

BOOL CQVSCLItem::Set_ScreenSize(int width, int height) { return Set(kScreenWidth, width) && Set(kScreenHeight, height); }

BOOL CQVSCLItem::Get_ScreenSize(int& width, int& height) {
  int value = 0;
  if (Get(kScreenWidth, value)) width = value;
  if (Get(kScreenHeight, value)) height = value;
  return TRUE;
}

BOOL CQVSCLItem::Set_WindowRect(CRect rect) {
  rect.NormalizeRect();
  return Set(kWindowLeft, rect.left) && Set(kWindowTop, rect.top) && Set(kWindowWidth, rect.Width()) &&
         Set(kWindowHeight, rect.Height());
}

BOOL CQVSCLItem::Get_WindowRect(CRect& rect) {
  int left = 0, top = 0, width = 0, height = 0;
  if (!Get(kWindowLeft, left)) left = 0;
  if (!Get(kWindowTop, top)) top = 0;
  if (!Get(kWindowWidth, width) || width < 0) width = 0;
  if (!Get(kWindowHeight, height) || height < 0) height = 0;
  // The values come from a shared file: an edge past the range of int stops at its end.
  const auto edge = [](int from, int size) {
    return static_cast<int>(std::min<long long>(static_cast<long long>(from) + size, INT_MAX));
  };
  rect.SetRect(left, top, edge(left, width), edge(top, height));
  return TRUE;
}

BOOL CQVSCLItem::Set_Language(LPCWSTR name) { return Set(kLanguage, name); }

BOOL CQVSCLItem::Get_Language(CString& name) { return Get(kLanguage, name); }

BOOL CQVSCLItem::Set_DockState(CDPXGMemBuffer& state) {
  CString working, path;
  GetWorkingPath(working);
  if (!IsOpen() || working.IsEmpty()) return FALSE;
  GetDockStateFilename(working, path);
  if (DPXWriteBufferToFile(state, path)) return TRUE;
  DeleteFileW(path);
  return FALSE;
}

BOOL CQVSCLItem::Get_DockState(CDPXGMemBuffer& state) {
  CString working, path;
  GetWorkingPath(working);
  GetDockStateFilename(working, path);
  if (IsOpen() && !working.IsEmpty() && DPXReadFileToBuffer(path, state)) return TRUE;
  state.Free();
  return FALSE;
}
