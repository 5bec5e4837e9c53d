#pragma once
// CQVWinApp: the application class of every program built on the kernel. It owns the program's
// window registry, command-name registry and main hot-key list, and static members reach them from
// any code without holding the application object. The statics answer FALSE, null or nothing
// while the running application is not a CQVWinApp or the service was not started.
//
// A derived application starts its services from its own start-up: InitIDRegistry and RegisterID
// for every command name, then InitHotKeyList and EnableMainFrameHotKey.

#include "platform/ui/afx/CWinApp.h"

class CQVGUIRegistry;
class CQVHotKeyList;
class CQVIDRegistry;

class CQVWinApp : public CWinApp {
  DECLARE_DYNAMIC(CQVWinApp)
public:
  CQVWinApp();
  ~CQVWinApp() override;

  static CQVWinApp* GetApp();

  // The window registry.
  static BOOL RegisterGUI(UINT id, CWnd* window);
  static void UnregisterGUI(CWnd* window);
  static CWnd* FindGUI(UINT id);
  static void ShowGUI(UINT id, BOOL show);
  static BOOL IsGUIVisible(UINT id);

  // The command names. The key forms give prefix + name (empty, FALSE, for a command without a
  // name); the text forms load that key's text through the language files of the module.
  static BOOL FindID(LPCWSTR name, UINT& id);
  static BOOL FindID(UINT id, CString& name);
  static BOOL FindID(UINT id, CString& key, LPCWSTR prefix);
  static BOOL FindID_MNU(UINT id, CString& key) { return FindID(id, key, u"MNU_"); }
  static BOOL FindID_TXT(UINT id, CString& key) { return FindID(id, key, u"TXT_"); }
  static BOOL FindID_TIP(UINT id, CString& key) { return FindID(id, key, u"TIP_"); }
  static BOOL LoadIDText_MNU(UINT id, CString& text, HINSTANCE module = nullptr);
  static BOOL LoadIDText_TXT(UINT id, CString& text, HINSTANCE module = nullptr);
  static BOOL LoadIDText_TIP(UINT id, CString& text, HINSTANCE module = nullptr);

  // The main hot-key list.
  static void EnableMainFrameHotKey(BOOL enable);
  static BOOL IsMainFrameHotKeyEnabled();
  // TRUE when the list turned the message into a command for the target.
  static BOOL PreTranslateMainFrameMessage(MSG* msg, CWnd* target);
  static BOOL FindKeyDescription(UINT id, CString& text);

protected:
  // Each replaces the service held before. A null class leaves none (TRUE); a class that is not
  // the service's own or a derived one, or that cannot be made, leaves none and answers FALSE.
  BOOL InitGUIRegistry(CRuntimeClass* cls);
  BOOL InitIDRegistry(CRuntimeClass* cls);
  BOOL RegisterID(UINT id, LPCWSTR name);
  void UnregisterID(UINT id);

private:
  static BOOL LoadIDText(UINT id, CString& text, LPCWSTR prefix, HINSTANCE module);

  CQVGUIRegistry* m_pGUIRegistry { nullptr };
  CQVIDRegistry* m_pIDRegistry { nullptr };
  CQVHotKeyList* m_pHotKeyList { nullptr };
};
