#include "viewer/app/CMainStartup.h"

#include "viewer/model/CMainSettings.h"

#include <cstring>
#include <string_view>

CString FillPlaceholders(const CString& text, const CIBSPlaceholders& placeholders) {
  const std::u16string_view in(text.GetString(), text.GetLength());
  CString out;
  for (size_t i = 0; i < in.size();) {
    bool replaced = false;
    for (const auto& [name, value] : placeholders) {
      const std::u16string_view key(name.GetString(), name.GetLength());
      if (!key.empty() && in.substr(i, key.size()) == key) {
        out += value;
        i += key.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += in[i++];
  }
  return out;
}

BOOL ReadSwitchLocation(int argc, const char* const* argv, CString& location) {
  location.Empty();
  for (int i = 1; i < argc && argv[i]; ++i) {
    if (std::strncmp(argv[i], "-M:", 3) != 0) continue;
    if (argv[i][3] == '\0') return FALSE;
    location = CString::FromUtf8(argv[i] + 3);
    return TRUE;
  }
  return FALSE;
}

BOOL MakeLogFileName(const EmailSetting& email, const SYSTEMTIME& day, CString& name) {
  name.Empty();
  if (!email.nSaveLogFile) return FALSE;
  name = email.strLogPath;
  if (name.IsEmpty() || name[name.GetLength() - 1] != u'/') name += u'/';
  CString file;
  file.Format(u"%04d%02d%02d.log", day.wYear, day.wMonth, day.wDay);
  name += file;
  return TRUE;
}

CString ComposeMainTitle(const CMainTitleParts& parts) {
  CString title;
  if (!parts.strBatch.IsEmpty() && !parts.strDocument.IsEmpty()) {
    title = FillPlaceholders(parts.strActive, {{u"<%batch%>", parts.strBatch}, {u"<%document%>", parts.strDocument}});
    if (parts.bDisplayPageCount) {
      CString counts;
      if (parts.bSwitch)
        counts.Format(u"%s ( - Pages,%d Images)", title.GetString(), parts.nImageCount);
      else
        counts.Format(u"%s (%d Pages,%d Images)", title.GetString(), parts.nPageCount, parts.nImageCount);
      title = counts;
    }
  }
  return title.IsEmpty() ? parts.strIdle : title;
}

CMainPlacement PlaceMainWindow(const ScreenLayout& layout, int screenWidth, int screenHeight) {
  CMainPlacement placement;
  if (layout.nWindowWidth <= 0 || layout.nWindowHeight <= 0 || layout.nIsMaximized) {
    placement.bMaximized = TRUE;
    return placement;
  }
  CRect rect(layout.nWindowLeft, layout.nWindowTop, layout.nWindowLeft + layout.nWindowWidth,
             layout.nWindowTop + layout.nWindowHeight);
  rect.NormalizeRect();
  if (screenWidth > 0 && screenHeight > 0) {
    const CRect screen(0, 0, screenWidth, screenHeight);
    if (!rect.IntersectRect(&rect, &screen)) rect.SetRectEmpty();
  }
  placement.rcNormal = rect;
  return placement;
}
