#include "viewer/mail/CProgressDlg.h"

#include "platform/ui/afx/CDataExchange.h"

#include <thread>

IMPLEMENT_DYNAMIC(CProgressDlg, CQVDialog)

namespace {
enum : int { kRate = 1058 };
// The worker's progress is looked at this often; the window does not wait on the worker.
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollInterval = 50;
}  // namespace

BEGIN_MESSAGE_MAP(CProgressDlg, CQVDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg(CWnd* parent) : CQVDialog(u"IDD_PROGRESS_DLG", parent) {}

void CProgressDlg::Run(int steps, const std::function<void(const std::function<void()>& step)>& work) {
  m_nSteps = steps;
  m_nDone = 0;
  m_bEnded = false;
  std::thread worker([this, &work] {
    work([this] { ++m_nDone; });
    m_bEnded = true;
  });
  // A dialog that cannot show ends at once; the work still runs to its end before Run returns.
  ShowModal();
  worker.join();
}

BOOL CProgressDlg::OnInitIDMap() {
  BeginIDMap(u"PROGRESS_DLG");
  DlgItem(kRate, u"DLG_PROGRESS_RATE", FALSE);
  EndIDMap();
  return TRUE;
}

BOOL CProgressDlg::OnInitControls() {
  CenterWindow(GetParent());
  return TRUE;
}

BOOL CProgressDlg::OnInitSettings() {
  m_bar.SetRange32(0, m_nSteps > 0 ? m_nSteps : 1);
  m_bar.SetStep(1);
  m_bar.SetPos(0);
  if (!SetTimer(kPollTimer, kPollInterval)) {
    EndDialog(IDABORT);
    return FALSE;
  }
  return TRUE;
}

void CProgressDlg::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kRate, m_bar);
}

void CProgressDlg::OnTimer(UINT_PTR id) {
  if (id == kPollTimer) {
    const bool ended = m_bEnded;  // read first: every step of ended work is counted by now
    m_nShown = m_nDone;
    m_bar.SetPos(m_nShown);
    if (ended) {
      KillTimer(kPollTimer);
      EndDialog(IDOK);
      return;
    }
  }
  CQVDialog::OnTimer(id);
}
