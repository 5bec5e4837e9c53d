#include "framework/layouts/CQVScreenLayoutProfile.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/DPXPath.h"
#include "framework/app/CQVWinApp.h"
#include "platform/core/fileapi.h"

IMPLEMENT_DYNAMIC(CQVScreenLayoutProfile, CObject)

namespace {
constexpr const char16_t* kTitleKey = u"Title";
constexpr const char16_t* kForbidden = u"\\/:.()[]{}*?%&+-<>";
}  // namespace

BOOL CQVScreenLayoutProfile::CheckName(LPCWSTR name) {
  CString text(name ? name : u"");
  text.Trim();
  if (text.IsEmpty() || text.GetLength() > kMaxNameLength || text.FindOneOf(kForbidden) >= 0) return FALSE;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] < 0x20 || text[i] == 0x7F) return FALSE;
  return TRUE;
}

BOOL CQVScreenLayoutProfile::NormalizeName(CString& name) {
  name.Trim();
  return CheckName(name);
}

BOOL CQVScreenLayoutProfile::SetFilename(LPCWSTR path) {
  m_layouts.clear();
  return m_profile.Open(path ? path : u"");
}

void CQVScreenLayoutProfile::FindLayouts(BOOL refresh) {
  if (!m_layouts.empty() && !refresh) return;
  m_layouts.clear();
  CDPXScriptItemList sections;
  if (!m_profile.GetSections(sections)) return;
  for (POSITION pos = sections.GetHeadPosition(); pos;) {
    CString name;
    if (!static_cast<CDPXScriptItem*>(sections.GetNext(pos))->GetSection(name)) continue;
    // The file's own spelling must be a valid name: a header with blanks around its name cannot
    // be reached by name, and one with separators or dots could reach outside the folder.
    CString trimmed(name);
    if (!NormalizeName(trimmed) || trimmed != name) continue;
    m_layouts.push_back(name);
  }
}

int CQVScreenLayoutProfile::GetLayoutCount() {
  FindLayouts(FALSE);
  return static_cast<int>(m_layouts.size());
}

BOOL CQVScreenLayoutProfile::_GetLayoutName(int index, CString& name) {
  FindLayouts(FALSE);
  if (index < 0 || index >= static_cast<int>(m_layouts.size())) return FALSE;
  name = m_layouts[static_cast<size_t>(index)];
  return TRUE;
}

BOOL CQVScreenLayoutProfile::GetLayoutName(int index, CString& title) {
  title.Empty();
  CString value;
  if (GetLayoutInfo(index, kTitleKey, value) && !CQVRCM::LoadText(value, title)) title = value;
  title.Trim();
  if (!title.IsEmpty()) return TRUE;
  return _GetLayoutName(index, title);
}

BOOL CQVScreenLayoutProfile::SetLayoutInfo(int index, LPCWSTR key, LPCWSTR value) {
  CString name;
  return _GetLayoutName(index, name) && m_profile.SetString(key, value, FALSE, name);
}

BOOL CQVScreenLayoutProfile::GetLayoutInfo(int index, LPCWSTR key, CString& value) {
  CString name;
  return _GetLayoutName(index, name) && m_profile.GetString(key, value, FALSE, name);
}

BOOL CQVScreenLayoutProfile::SetLayoutInfo(int index, LPCWSTR key, int value) {
  CString name;
  return _GetLayoutName(index, name) && m_profile.SetInt(key, value, FALSE, name);
}

BOOL CQVScreenLayoutProfile::GetLayoutInfo(int index, LPCWSTR key, int& value) {
  CString name;
  return _GetLayoutName(index, name) && m_profile.GetInt(key, value, FALSE, name);
}

BOOL CQVScreenLayoutProfile::DockStatePathOf(const CString& name, CString& path) const {
  CQVWinApp* app = CQVWinApp::GetApp();
  const CString profile = m_profile.GetPath();
  if (!app || CString(profile).Trim().IsEmpty()) return FALSE;
  CString root;
  app->GetAppRootName(root);
  DPXGetFolderOfPath(profile, path);
  if (!root.IsEmpty()) path += root + u".";
  path += name + u".dockstate";
  return TRUE;
}

BOOL CQVScreenLayoutProfile::GetDockStateFilename(int index, CString& path) {
  CString name;
  return _GetLayoutName(index, name) && DockStatePathOf(name, path);
}

BOOL CQVScreenLayoutProfile::LoadDockState(int index, CDPXGMemBuffer& state) {
  CString path;
  if (GetDockStateFilename(index, path) && DPXReadFileToBuffer(path, state)) return TRUE;
  state.Free();
  return FALSE;
}

BOOL CQVScreenLayoutProfile::SaveDockState(int index, CDPXGMemBuffer& state) {
  // The file is replaced whole, so a failed write leaves no partial file and the layout keeps
  // the dock state it had.
  CString path;
  return GetDockStateFilename(index, path) && DPXWriteBufferToFile(state, path);
}

int CQVScreenLayoutProfile::LayoutExist(LPCWSTR name) {
  FindLayouts(FALSE);
  CString wanted(name ? name : u"");
  if (!NormalizeName(wanted)) return -1;
  for (size_t i = 0; i < m_layouts.size(); ++i)
    if (m_layouts[i].CompareNoCase(wanted) == 0) return static_cast<int>(i);
  return -1;
}

int CQVScreenLayoutProfile::CreateLayout(LPCWSTR name) {
  if (const int old = LayoutExist(name); old >= 0) {
    DeleteLayout(old);
    if (LayoutExist(name) >= 0) return -1;
  }
  CString wanted(name ? name : u"");
  if (!NormalizeName(wanted)) return -1;
  if (!m_profile.AddLine(u"", FALSE, wanted)) {
    // The lines now hold a section the file lacks: read the file back.
    m_profile.Load();
    FindLayouts(TRUE);
    return -1;
  }
  FindLayouts(TRUE);
  return LayoutExist(wanted);
}

void CQVScreenLayoutProfile::DeleteLayout(int index) {
  CString name;
  if (_GetLayoutName(index, name)) {
    CString path;
    if (DockStatePathOf(name, path)) DeleteFileW(path);
    if (!m_profile.DeleteSection(FALSE, name)) m_profile.Load();
  }
  FindLayouts(TRUE);
}

void CQVScreenLayoutProfile::DeleteAllLayouts() {
  FindLayouts(FALSE);
  for (const CString& name : std::vector<CString>(m_layouts)) {
    CString path;
    if (DockStatePathOf(name, path)) DeleteFileW(path);
    if (!m_profile.DeleteSection(FALSE, name)) m_profile.Load();
  }
  FindLayouts(TRUE);
}
