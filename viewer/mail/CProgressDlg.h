#pragma once
// CProgressDlg: the small window that shows how far an e-mail job's sending is while a worker does
// it (template "IDD_PROGRESS_DLG"). It runs modally until the work has ended; the user cannot
// close it before.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CProgressCtrl.h"

#include <atomic>
#include <functional>

class CProgressDlg : public CQVDialog {
  DECLARE_DYNAMIC(CProgressDlg)
public:
  explicit CProgressDlg(CWnd* parent = nullptr);

  // Runs `work` on a worker thread with a bar of `steps` steps, which `step` (callable from the
  // worker) moves on; returns when the work has ended.
  void Run(int steps, const std::function<void(const std::function<void()>& step)>& work);

  int GetPos() const { return m_nShown; }

protected:
  BOOL OnInitIDMap() override;
  BOOL OnInitControls() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

private:
  CProgressCtrl m_bar;
  int m_nSteps { 0 };
  int m_nShown { 0 };
  std::atomic<int> m_nDone { 0 };
  std::atomic<bool> m_bEnded { false };
};
