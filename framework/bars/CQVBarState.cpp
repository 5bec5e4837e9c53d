#include "framework/bars/CQVBarState.h"

#include "framework/bars/CQVControlBar.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/ui/afx/CFrameWnd.h"

#include <vector>

namespace {

constexpr DWORD kMagic = 0x42535651;  // "QVSB"
constexpr WORD kVersion = 1;
constexpr DWORD kMostBars = 4096;

std::vector<CQVControlBar*> SizingBars(CFrameWnd& frame) {
  std::vector<CQVControlBar*> bars;
  for (CControlBar* bar : frame.m_listControlBars)
    if (auto* sizing = dynamic_cast<CQVControlBar*>(bar); sizing && sizing->GetDlgCtrlID() != 0) bars.push_back(sizing);
  return bars;
}

}  // namespace

void CQVBarState::Store(CFrameWnd& frame, CArchive& ar) {
  CDockState state;
  frame.GetDockState(state);
  state.Serialize(ar);
  const std::vector<CQVControlBar*> bars = SizingBars(frame);
  ar << kMagic << kVersion << static_cast<DWORD>(bars.size());
  for (CQVControlBar* bar : bars) {
    ar << static_cast<UINT>(bar->GetDlgCtrlID());
    bar->Serialized(ar);
  }
}

BOOL CQVBarState::Load(CFrameWnd& frame, CArchive& ar) {
  CQVBarState state;
  if (!state.Read(ar)) return FALSE;
  state.Apply(frame);
  return TRUE;
}

BOOL CQVBarState::Read(CArchive& ar) {
  m_records.clear();
  try {
    m_state.Serialize(ar);
    DWORD magic = 0, count = 0;
    WORD version = 0;
    ar >> magic >> version;
    if (magic != kMagic || version != kVersion) AfxThrowArchiveException(CArchiveException::badSchema);
    ar >> count;
    if (count > kMostBars) AfxThrowArchiveException(CArchiveException::badIndex);
    for (DWORD i = 0; i < count; ++i) {
      Record record {};
      ar >> record.id;
      if (ar.Read(record.sizes.data(), kRecordBytes) != kRecordBytes) AfxThrowArchiveException(CArchiveException::endOfFile);
      m_records.push_back(record);
    }
  } catch (CException* e) {
    e->Delete();
    m_state.Clear();
    m_records.clear();
    return FALSE;
  }
  return TRUE;
}

void CQVBarState::Apply(CFrameWnd& frame) {
  for (Record& record : m_records) {
    auto* bar = dynamic_cast<CQVControlBar*>(frame.GetControlBar(record.id));
    if (!bar) continue;
    CMemFile file(record.sizes.data(), kRecordBytes);
    CArchive sizes(&file, CArchive::load);
    bar->Serialized(sizes);
  }
  frame.SetDockState(m_state);
  frame.RecalcLayout();
}
