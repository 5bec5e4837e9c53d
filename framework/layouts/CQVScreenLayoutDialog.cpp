#include "framework/layouts/CQVScreenLayoutDialog.h"

#include "foundation/language/KernelEntry.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/DPXFolderTree.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "platform/core/fileapi.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/MessageMap.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CQVScreenLayoutDialog, CQVDialog)

BEGIN_MESSAGE_MAP(CQVScreenLayoutDialog, CQVDialog)
  ON_BN_CLICKED(1013, &CQVScreenLayoutDialog::RefreshDialog)
END_MESSAGE_MAP()

namespace {
enum : int { kInfoName = 1010, kList = 1012, kDeleteAll = 1013, kNameBox = 1014 };

// A file as it was before a save: its bytes, or that there was none.
class FileBefore {
public:
  void Take(const CString& path) {
    m_path = path;
    m_there = DPXFileExists(path);
    m_known = !m_there || DPXReadFileToBuffer(path, m_bytes);
  }
  // A file that did not exist at `path`.
  void TakeNone(const CString& path) {
    m_path = path;
    m_there = FALSE;
    m_known = TRUE;
  }
  // Puts the file back, unless its bytes could not be read or it holds them already.
  void PutBack() {
    if (!m_known || m_path.IsEmpty()) return;
    if (!m_there) {
      DeleteFileW(m_path);
      return;
    }
    CDPXMemBuffer now;
    if (DPXFileExists(m_path) && DPXReadFileToBuffer(m_path, now) && now.GetSize() == m_bytes.GetSize() &&
        (now.GetSize() == 0 || std::equal(now.Lock(), now.Lock() + now.GetSize(), m_bytes.Lock())))
      return;
    DPXWriteBufferToFile(m_bytes, m_path);
  }

private:
  CString m_path;
  BOOL m_there { FALSE };
  BOOL m_known { FALSE };
  CDPXMemBuffer m_bytes;
};

// The text with its first "%s" replaced by the argument ("%%" is a percent sign); nothing else in
// a translated text is taken as a format.
CString FormatOne(const CString& format, const CString& argument) {
  CString text;
  bool used = false;
  for (int i = 0; i < format.GetLength(); ++i) {
    if (format[i] == u'%' && i + 1 < format.GetLength()) {
      if (format[i + 1] == u'%') {
        text += u"%";
        ++i;
        continue;
      }
      if (format[i + 1] == u's' && !used) {
        text += argument;
        used = true;
        ++i;
        continue;
      }
    }
    text += CString(format[i]);
  }
  return text;
}
}  // namespace

CQVScreenLayoutDialog::CQVScreenLayoutDialog(CWnd* parent) : CQVDialog(u"QVKERNEL_IDD_SCREENLAYOUT", parent) {
  SetRCMModule(QVKernelInstance());
}

BOOL CQVScreenLayoutDialog::Run(CQVScreenLayoutProfile& profile, int mode) {
  m_nMode = mode;
  m_pProfile = &profile;
  const BOOL ok = ShowModal() == IDOK;
  m_pProfile = nullptr;
  return ok;
}

BOOL CQVScreenLayoutDialog::DoSave(CQVScreenLayoutProfile& profile) { return Run(profile, modeSave); }

BOOL CQVScreenLayoutDialog::DoDelete(CQVScreenLayoutProfile& profile) {
  if (profile.GetLayoutCount() <= 0) return FALSE;
  return Run(profile, modeDelete);
}

void CQVScreenLayoutDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, m_nMode == modeDelete ? kList : kNameBox, m_cbName);
  DDX_Control(dx, kDeleteAll, m_btnDeleteAll);
}

BOOL CQVScreenLayoutDialog::OnInitIDMap() {
  if (m_nMode == modeSave) {
    BeginIDMap(u"DLG_SLD_SAVE");
    DlgItem(kInfoName, u"DLG_SLD_INFO_NAME", TRUE);
    DlgItem(kNameBox, u"DLG_SLD_NAME", FALSE);
  } else if (m_nMode == modeDelete) {
    BeginIDMap(u"DLG_SLD_DELETE");
    DlgItem(kInfoName, u"DLG_SLD_INFO_NAME", TRUE);
    DlgItem(kList, u"DLG_SLD_NAME", FALSE);
    DlgItem(kDeleteAll, u"DLG_SLD_DELETEALL", TRUE);
  } else {
    return FALSE;
  }
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVScreenLayoutDialog::OnInitSettings() {
  if (!InitLayoutList()) return FALSE;
  const BOOL deleting = m_nMode == modeDelete;
  ShowDlgItem(kNameBox, !deleting);
  ShowDlgItem(kList, deleting);
  ShowDlgItem(kDeleteAll, deleting);
  RefreshDialog();
  return TRUE;
}

BOOL CQVScreenLayoutDialog::InitLayoutList() {
  m_cbName.ResetContent();
  if (!m_pProfile) return FALSE;
  const int count = m_pProfile->GetLayoutCount();
  for (int i = 0; i < count; ++i) {
    CString title;
    // Inserted at the end, never sorted: the position in the list is the layout's index.
    if (!m_pProfile->GetLayoutName(i, title) || m_cbName.InsertString(-1, title) != i) {
      m_cbName.ResetContent();
      return FALSE;
    }
  }
  if (m_nMode == modeSave) {
    m_cbName.SetWindowText(u"");
    m_cbName.LimitText(CQVScreenLayoutProfile::kMaxNameLength);
  } else if (count > 0) {
    m_cbName.SetCurSel(0);
  }
  return TRUE;
}

void CQVScreenLayoutDialog::RefreshDialog() {
  if (m_nMode == modeDelete) EnableDlgItem(kList, m_btnDeleteAll.GetCheck() != BST_CHECKED);
}

void CQVScreenLayoutDialog::OnOK() {
  if (m_nMode == modeSave) {
    OnSaveOK();
  } else if (m_nMode == modeDelete) {
    OnDeleteOK();
  } else {
    CQVDialog::OnOK();
  }
}

void CQVScreenLayoutDialog::OnSaveOK() {
  if (!m_pProfile) return;
  CString name;
  m_cbName.GetWindowText(name);
  // What a save may change, as it was: the profile and the dock-state file of the name.
  const CString profilePath = m_pProfile->GetFilename();
  FileBefore profile, state;
  if (!CString(profilePath).Trim().IsEmpty()) profile.Take(profilePath);
  CString statePath;
  const int old = m_pProfile->LayoutExist(name);
  if (old >= 0 && m_pProfile->GetDockStateFilename(old, statePath)) state.Take(statePath);

  if (OnSaveScreenLayout(*m_pProfile, name)) {
    CQVDialog::OnOK();
    return;
  }
  if (const int now = m_pProfile->LayoutExist(name); old < 0 && now >= 0 && m_pProfile->GetDockStateFilename(now, statePath))
    state.TakeNone(statePath);
  state.PutBack();
  profile.PutBack();
  m_pProfile->SetFilename(profilePath);
}

void CQVScreenLayoutDialog::OnDeleteOK() {
  int index = -1;
  if (m_btnDeleteAll.GetCheck() != BST_CHECKED) {
    index = m_cbName.GetCurSel();
    if (index < 0) return;
  }
  if (m_pProfile && OnDeleteScreenLayout(*m_pProfile, index)) CQVDialog::OnOK();
}

BOOL CQVScreenLayoutDialog::OnDeleteScreenLayout(CQVScreenLayoutProfile& profile, int index) {
  CString question;
  if (index < 0) {
    LoadText(u"MSG_DLG_SLD_CONFIRM_DELETEALL", question);
  } else {
    CString format, title;
    LoadText(u"MSG_DLG_SLD_CONFIRM_DELETE", format);
    profile.GetLayoutName(index, title);
    question = FormatOne(format, title);
  }
  if (!_YesNoMsg(question)) return FALSE;
  if (index < 0) {
    profile.DeleteAllLayouts();
  } else {
    profile.DeleteLayout(index);
  }
  return TRUE;
}
