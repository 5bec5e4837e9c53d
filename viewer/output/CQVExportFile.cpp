#include "viewer/output/CQVExportFile.h"

#include "foundation/util/CDPXStdioFile.h"
#include "platform/core/CException.h"

CQVExportFile::~CQVExportFile() { Abort(); }

void CQVExportFile::Abort() {
  if (m_bOpen) m_file.Abort();
  m_bOpen = FALSE;
}

BOOL CQVExportFile::Create(LPCWSTR path) {
  Abort();
  m_bFailed = FALSE;
  if (!path || !*path || !m_file.Open(path)) return FALSE;
  m_bOpen = TRUE;
  if (WriteBytes(CDPXStdioFile::ByteOrderMark(CDPXStdioFile::encodingUtf8))) return TRUE;
  Abort();
  return FALSE;
}

BOOL CQVExportFile::WriteText(std::u16string_view text) {
  return WriteBytes(CDPXStdioFile::EncodeText(text, CDPXStdioFile::encodingUtf8));
}

BOOL CQVExportFile::WriteBytes(std::string_view bytes) {
  if (!m_bOpen || m_bFailed) return FALSE;
  try {
    m_file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
  } catch (CException* e) {
    e->Delete();
    m_bFailed = TRUE;
    return FALSE;
  }
  return TRUE;
}

BOOL CQVExportFile::Commit() {
  if (!m_bOpen) return FALSE;
  m_bOpen = FALSE;
  if (m_bFailed) {
    m_file.Abort();
    return FALSE;
  }
  return m_file.Commit();
}
