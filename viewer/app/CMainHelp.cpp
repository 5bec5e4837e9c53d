#include "viewer/app/CMainHelp.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/util/DPXFolderTree.h"

#include <QProcess>
#include <QString>

BOOL GetShownLanguage(CString& language) {
  if (CQVRCM::GetCurrentLanguage(language) && !language.IsEmpty()) return TRUE;
  for (int i = 0; i < CQVRCM::GetLanguageCount(); ++i) {
    CString description;
    int fallback = 0;
    if (CQVRCM::GetLanguage(i, language, description, fallback) && fallback) return TRUE;
  }
  language.Empty();
  return FALSE;
}

CString HelpFileBase(const CString& workstation, const CString& language) {
  CString tag(language);
  tag.Replace(u'-', u'_');
  return workstation + u"Help/Seek-and-Show_" + tag;
}

BOOL FindHelpFile(const CString& workstation, const CString& language, CString& path) {
  const CString base = HelpFileBase(workstation, language);
  for (LPCWSTR extension : {u".html", u".htm", u".pdf"}) {
    path = base + extension;
    if (DPXFileExists(path)) return TRUE;
  }
  path.Empty();
  return FALSE;
}

BOOL OpenWithDesktop(const CString& path) {
  const QString file = QString::fromUtf16(path.GetString(), path.GetLength());
  return QProcess::startDetached(QStringLiteral("xdg-open"), {file});
}
