#include "framework/layouts/CQVSCLSaveDialog.h"

#include "foundation/language/KernelEntry.h"
#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "platform/ui/afx/CDataExchange.h"

IMPLEMENT_DYNAMIC(CQVSCLSaveDialog, CQVDialog)

namespace {
enum : int { kNameLabel = 1029, kNameBox = 1031 };
}  // namespace

CQVSCLSaveDialog::CQVSCLSaveDialog(CWnd* parent) : CQVDialog(u"DLG_SSL", parent) { SetRCMModule(QVKernelInstance()); }

BOOL CQVSCLSaveDialog::DoDialog(CQVSCLManager& store) {
  m_pStore = &store;
  const BOOL ok = ShowModal() == IDOK;
  m_pStore = nullptr;
  return ok;
}

void CQVSCLSaveDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kNameLabel, m_stName);
  DDX_Control(dx, kNameBox, m_cbName);
}

BOOL CQVSCLSaveDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_SSL");
  DlgItem(kNameLabel, u"DLG_SSL_T_NAME", TRUE);
  DlgItem(kNameBox, u"DLG_SSL_NAME", FALSE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVSCLSaveDialog::OnInitSettings() {
  m_cbName.ResetContent();
  if (m_pStore) {
    for (int i = 0; i < m_pStore->IDList_GetCount(); ++i) {
      CString name;
      if (!m_pStore->IDList_GetDisplayName(i, name)) break;
      // The box sorts the names; each keeps its index into the store's list.
      const int entry = m_cbName.AddString(name);
      if (entry < 0) break;
      m_cbName.SetItemData(entry, static_cast<DWORD_PTR>(i));
    }
    m_cbName.LimitText(m_pStore->MaximumLength());
  }
  m_cbName.SetWindowText(u"");
  GotoDlgCtrl(&m_cbName);
  return TRUE;
}

void CQVSCLSaveDialog::OnOK() {
  if (!m_pStore) return;
  CQVSCLManager& store = *m_pStore;
  enum { none, badName, failed, quiet } error = none;

  CString text;
  m_cbName.GetWindowText(text);
  text.Trim();
  CString id;
  const int entry = text.IsEmpty() ? -1 : m_cbName.FindStringExact(-1, text);
  if (entry < 0 || !store.IDList_Get(static_cast<int>(m_cbName.GetItemData(entry)), id)) id = text;
  if (!store.NormalizeID(id)) error = badName;

  BOOL created = FALSE;
  if (error == none) {
    if (!store.IDExist(id)) {
      if (store.Create(id)) {
        created = TRUE;
      } else {
        error = failed;
      }
    } else if (!YesNoMsg(u"MSG_DLG_SSL_YN_OVERWRITE")) {
      error = quiet;
    }
  }
  CQVSCLItem item;
  if (error == none && !store.Open(id, &item, FALSE)) error = failed;
  if (error == none && !SaveLayout(item)) error = failed;
  if (error == none && !store.Close(id, &item)) error = failed;
  if (error == none) {
    CQVDialog::OnOK();
    return;
  }

  if (item.IsOpen()) store.Discard(id, &item);
  // Only as this call made it: another writer may have saved into it since.
  if (created) store.DeleteIfEmpty(id);
  if (error == badName) ErrorMsg(u"MSG_DLG_SSL_ER_BADNAME");
  if (error == failed) ErrorMsg(u"MSG_DLG_SSL_ER_FAIL");
  GotoDlgCtrl(&m_cbName);
}
