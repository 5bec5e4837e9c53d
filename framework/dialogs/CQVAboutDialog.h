#pragma once
// CQVAboutDialog: a ready-made about box. It paints the logo where the hidden item 1006 stands,
// shows the product name, version and copyright line, optionally a more-information page in an
// HTML pane where item 1004 stands, and optionally a system-information button whose action a
// derived class supplies. The application fills the members between construction and ShowModal.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "framework/dialogs/CQVDialog.h"
#include "framework/dialogs/CQVHtmlWnd.h"

class CQVAboutDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVAboutDialog)
public:
  explicit CQVAboutDialog(CWnd* parent = nullptr);

  // Empty until the application fills it; an empty logo leaves the place blank.
  CQVBitmapHandle m_logo;
  BOOL m_bShowMoreInfo { TRUE };
  BOOL m_bShowSysInfo { TRUE };
  CString m_strProductName;
  CString m_strVersion;
  CString m_strCopyright;
  // A local page; web addresses open in the desktop's browser instead.
  CString m_strMoreInfoURL;

  // The pane that shows the more-information page; no window without it.
  CQVHtmlWnd& GetHtmlWnd() { return m_wndHtml; }

protected:
  // Paints the whole logo stretched into the rectangle; an empty logo raises the kernel exception.
  virtual void OnPaintLogo(CDC* dc, CRect rect);
  // The system-information button; nothing here.
  virtual void OnShowSysInfo() {}

  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;

  void OnPaint();
  void OnCmdClose() { OnOK(); }
  void OnCmdSysInfo() { OnShowSysInfo(); }
  DECLARE_MESSAGE_MAP()

private:
  CQVHtmlWnd m_wndHtml;
};
