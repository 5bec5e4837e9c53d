#include "framework/layouts/CQVSCLDeleteDialog.h"

#include "foundation/language/KernelEntry.h"
#include "foundation/util/CDPXStringList.h"
#include "framework/layouts/CQVSCLManager.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/MessageMap.h"

IMPLEMENT_DYNAMIC(CQVSCLDeleteDialog, CQVDialog)

BEGIN_MESSAGE_MAP(CQVSCLDeleteDialog, CQVDialog)
  ON_BN_CLICKED(1035, &CQVSCLDeleteDialog::OnDeleteAll)
END_MESSAGE_MAP()

namespace {
enum : int { kNameLabel = 1032, kList = 1034, kDeleteAll = 1035 };
}  // namespace

CQVSCLDeleteDialog::CQVSCLDeleteDialog(CWnd* parent) : CQVDialog(u"DLG_DSL", parent) { SetRCMModule(QVKernelInstance()); }

BOOL CQVSCLDeleteDialog::DoDialog(CQVSCLManager& store) {
  if (store.IDList_GetCount() <= 0) {
    InfoMsg(u"MSG_DLG_DSL_ER_EMPTY");
    return FALSE;
  }
  m_pStore = &store;
  const BOOL ok = ShowModal() == IDOK;
  m_pStore = nullptr;
  return ok;
}

BOOL CQVSCLDeleteDialog::DeleteLayout(LPCWSTR id) { return m_pStore && m_pStore->Delete(id); }

void CQVSCLDeleteDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kNameLabel, m_stName);
  DDX_Control(dx, kList, m_cbName);
  DDX_Control(dx, kDeleteAll, m_btnDeleteAll);
}

BOOL CQVSCLDeleteDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_DSL");
  DlgItem(kNameLabel, u"DLG_DSL_T_NAME", TRUE);
  DlgItem(kList, u"DLG_DSL_NAME", FALSE);
  DlgItem(kDeleteAll, u"DLG_DSL_DELETEALL", TRUE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVSCLDeleteDialog::OnInitSettings() {
  m_cbName.ResetContent();
  for (int i = 0; m_pStore && i < m_pStore->IDList_GetCount(); ++i) {
    CString name;
    if (!m_pStore->IDList_GetDisplayName(i, name)) break;
    const int entry = m_cbName.AddString(name);
    if (entry < 0) break;
    m_cbName.SetItemData(entry, static_cast<DWORD_PTR>(i));
  }
  if (m_cbName.GetCount() > 0) m_cbName.SetCurSel(0);
  m_btnDeleteAll.SetCheck(BST_UNCHECKED);
  OnDeleteAll();
  GotoDlgCtrl(&m_cbName);
  return TRUE;
}

void CQVSCLDeleteDialog::OnDeleteAll() { m_cbName.EnableWindow(m_btnDeleteAll.GetCheck() != BST_CHECKED); }

void CQVSCLDeleteDialog::OnOK() {
  if (!m_pStore) return;
  CQVSCLManager& store = *m_pStore;
  enum { none, badName, failed, quiet } error = none;

  if (m_btnDeleteAll.GetCheck() == BST_CHECKED) {
    if (!YesNoMsg(u"MSG_DLG_DSL_YN_DELETEALL")) {
      error = quiet;
    } else {
      // The store passes over layouts it cannot delete (held open elsewhere): what is left tells.
      CDPXStringList left;
      if (!store.DeleteAll() || !store.FindIDs(left, TRUE) || left.GetCount() > 0) error = failed;
    }
  } else {
    const int entry = m_cbName.GetCurSel();
    CString id;
    if (entry < 0 || !store.IDList_Get(static_cast<int>(m_cbName.GetItemData(entry)), id)) {
      error = badName;
    } else if (!YesNoMsg(u"MSG_DLG_DSL_YN_DELETE")) {
      error = quiet;
    } else if (!DeleteLayout(id)) {
      error = failed;
    }
  }
  if (error == none) {
    CQVDialog::OnOK();
    return;
  }
  if (error == badName) ErrorMsg(u"MSG_DLG_DSL_ER_BADNAME");
  if (error == failed) ErrorMsg(u"MSG_DLG_DSL_ER_FAIL");
  GotoDlgCtrl(&m_cbName);
}
