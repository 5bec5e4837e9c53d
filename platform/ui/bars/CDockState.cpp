#include "platform/ui/bars/CDockState.h"

#include "platform/core/CArchive.h"

#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CDockState, CObject)

namespace {

constexpr DWORD kMagic = 0x4B434F44;  // "DOCK"
constexpr WORD kVersion = 1;
constexpr DWORD kMaxRecords = 4096;
constexpr DWORD kMaxSlots = 4096;

enum : BYTE {
  kVisible = 0x01,
  kFloating = 0x02,
  kHorizontal = 0x04,
  kDockBar = 0x08,
  kFloatPosSet = 0x10,
};

// Places beyond this distance from the origin lie on no screen; the window arithmetic that adds
// sizes to them would overflow.
constexpr LONG kFarthest = 1 << 20;

bool Near(LONG value) { return value >= -kFarthest && value <= kFarthest; }

void CheckPlace(const POINT& point) {
  if (!Near(point.x) || !Near(point.y)) AfxThrowArchiveException(CArchiveException::badIndex);
}

DWORD ReadCount(CArchive& ar, DWORD limit) {
  DWORD count = 0;
  ar >> count;
  if (count > limit) AfxThrowArchiveException(CArchiveException::badIndex);
  return count;
}

}  // namespace

void CControlBarInfo::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    BYTE flags = (m_bVisible ? kVisible : 0) | (m_bFloating ? kFloating : 0) | (m_bHorz ? kHorizontal : 0) |
                 (m_bDockBar ? kDockBar : 0) | (m_bMRUFloatPosSet ? kFloatPosSet : 0);
    ar << m_nBarID << flags << m_pointPos << m_uMRUDockID << m_rectMRUDockPos << m_dwMRUFloatStyle << m_ptMRUFloatPos;
    if (m_bDockBar) {
      ar << static_cast<DWORD>(m_arrBarID.GetSize());
      for (INT_PTR i = 0; i < m_arrBarID.GetSize(); ++i) ar << m_arrBarID[i];
    }
    return;
  }
  BYTE flags = 0;
  ar >> m_nBarID >> flags >> m_pointPos >> m_uMRUDockID >> m_rectMRUDockPos >> m_dwMRUFloatStyle >> m_ptMRUFloatPos;
  CheckPlace(m_pointPos);
  CheckPlace(m_ptMRUFloatPos);
  CheckPlace(m_rectMRUDockPos.TopLeft());
  CheckPlace(m_rectMRUDockPos.BottomRight());
  m_bVisible = (flags & kVisible) != 0;
  m_bFloating = (flags & kFloating) != 0;
  m_bHorz = (flags & kHorizontal) != 0;
  m_bDockBar = (flags & kDockBar) != 0;
  m_bMRUFloatPosSet = (flags & kFloatPosSet) != 0;
  m_arrBarID.RemoveAll();
  if (!m_bDockBar) return;
  const DWORD slots = ReadCount(ar, kMaxSlots);
  for (DWORD i = 0; i < slots; ++i) {
    UINT id = 0;
    ar >> id;
    m_arrBarID.Add(id);
  }
}

CDockState::~CDockState() { Clear(); }

void CDockState::Clear() {
  for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) delete m_arrBarInfo[i];
  m_arrBarInfo.RemoveAll();
}

void CDockState::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << kMagic << kVersion << static_cast<DWORD>(m_arrBarInfo.GetSize());
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i) m_arrBarInfo[i]->Serialize(ar);
    return;
  }
  Clear();
  DWORD magic = 0;
  WORD version = 0;
  ar >> magic;
  if (magic != kMagic) AfxThrowArchiveException(CArchiveException::badSchema);
  ar >> version;
  if (version != kVersion) AfxThrowArchiveException(CArchiveException::badSchema);
  const DWORD count = ReadCount(ar, kMaxRecords);
  // Nothing is kept unless every record could be read.
  std::vector<std::unique_ptr<CControlBarInfo>> read;
  for (DWORD i = 0; i < count; ++i) {
    auto info = std::make_unique<CControlBarInfo>();
    info->Serialize(ar);
    read.push_back(std::move(info));
  }
  for (auto& info : read) m_arrBarInfo.Add(info.release());
}
