#include "viewer/search/CSearchCommand.h"

#include "platform/core/fileapi.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CIBSWindowLink.h"
#include "viewer/model/CMainSettings.h"
#include "viewer/model/CdRomDrive.h"

void CSearchCommand::PickLocation(int& openMode, CString& location) const {
  if (m_bSwitch) {
    openMode = CIBSPlant::openProfile;
    location = m_strSwitchLocation;
    return;
  }
  const QVSettings& general = m_settings.m_general;
  switch (general.nSearchMode) {
    case 1:
      openMode = CIBSPlant::openRoot;
      location = general.strDriver;
      break;
    case 2:
      openMode = CIBSPlant::openFolder;
      location = general.strPath;
      break;
    case 3:
      openMode = CIBSPlant::openRootList;
      location = general.strAllDrives;
      break;
    default:
      // A profile without a name: the store opens nothing.
      openMode = CIBSPlant::openProfile;
      location.Empty();
      break;
  }
}

CSearchCommand::Outcome CSearchCommand::CheckLocation(int openMode, CString& location) {
  if (m_bSwitch) return searched;
  if (openMode == CIBSPlant::openRoot) {
    if (location.IsEmpty()) {
      // Without a disc drive nothing is searched and "Driver" stays empty, so that the next search
      // looks again rather than searching some other folder.
      if (!FindCdRomDrive(location, m_pWindowLink, m_strMountTable.IsEmpty() ? nullptr : m_strMountTable.GetString())) {
        return noDrive;
      }
      m_settings.m_general.strDriver = location;
    }
    return CheckDiscInDrive(location, m_pWindowLink) ? searched : cancelled;
  }
  if (openMode == CIBSPlant::openFolder) {
    const DWORD attributes = GetFileAttributesW(location);
    if (location.IsEmpty() || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      if (m_pWindowLink) m_pWindowLink->ErrorMsg(u"MSG_ERR_DIRECTORY_UNEXIST", {{u"<%directory%>", location}});
      return noFolder;
    }
  }
  return searched;
}

CSearchCommand::Outcome CSearchCommand::Run() {
  m_nBatchesSearched = 0;
  m_nHits = 0;
  if (m_plant.GetCurrentDocument()) {
    m_plant.Close();
    m_windows.OnStoreClosed();
  }
  m_windows.ClearResults();

  int openMode = CIBSPlant::openProfile;
  CString location;
  PickLocation(openMode, location);
  if (const Outcome checked = CheckLocation(openMode, location); checked != searched) return checked;
  m_plant.SetOpenMode(openMode, location);

  CSearchLastValues last;
  if (m_settings.m_general.nRemberSearch == 1) {
    last.values = m_settings.m_lastSearchValues;
    last.strBatchName = m_settings.m_strBatchName;
    last.bAllBatches = m_settings.m_bAllBatches;
  }
  if (!m_windows.AskQuery(m_plant, last, m_bSwitch)) return cancelled;
  // What was typed is kept whether or not it is offered next time.
  m_settings.m_lastSearchValues = std::move(last.values);
  m_settings.m_strBatchName = last.strBatchName;
  m_settings.m_bAllBatches = last.bAllBatches;

  m_plant.Search(m_nBatchesSearched, m_nHits);
  m_windows.ShowResults(m_plant);
  return searched;
}

BOOL CSearchCommand::RunPending() {
  if (!m_bSwitch) return FALSE;
  return Run() == searched;
}
