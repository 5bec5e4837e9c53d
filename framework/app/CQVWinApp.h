#pragma once
// CQVWinApp: the application class of every program built on the kernel. It owns the program's
// window registry, command-name registry and main hot-key list, and static members reach them from
// any code without holding the application object. The statics answer FALSE, null or nothing
// while the running application is not a CQVWinApp or the service was not started.
//
// Start-up (InitInstance): with a main-frame window class name, the class is registered and a
// running instance with a window of that class is brought forward instead (the start ends);
// then the derived application's OnInitInstance, one single-document template from the
// document, frame and view classes it set, a new document, and the main window is shown.
//
// A derived application starts its services from its own start-up: InitResourceManager,
// InitGUIRegistry, InitIDRegistry and RegisterID for every command name, then InitHotKeyList and
// EnableMainFrameHotKey.
//
// Folders of an installation (all end with '/'): the application folder; beside it in the
// application folder "Workstation/" (never redirected) with "Sys/" and "Page Setup/"; and the
// workgroup folder "Workgroup/" with "Sys", "Help", "Users", "Jobs" and "Page Setup". The
// workgroup folder and each of those sub-folders can be redirected by a profile beside it named
// after it plus ".redir" (section "REDIR", key "Path"); a relative path there is taken from the
// folder the ".redir" file lies in.

#include "platform/ui/afx/CWinApp.h"

class CQVDocument;
class CQVGUIRegistry;
class CQVHotKeyList;
class CQVIDRegistry;
class CQVMainFrame;

class CQVWinApp : public CWinApp {
  DECLARE_DYNAMIC(CQVWinApp)
public:
  CQVWinApp();
  ~CQVWinApp() override;

  static CQVWinApp* GetApp();
  // The main window, or while there is none yet the first main frame made; null unless a
  // CQVMainFrame.
  static CQVMainFrame* GetMainFrame();
  // The main window's active document, or while there is no main window the first document made.
  static CQVDocument* GetDocument();
  // Kept by the first main frame and document made, until they go.
  static void RegisterMainFrame(CQVMainFrame* frame, BOOL add);
  static void RegisterDocument(CQVDocument* document, BOOL add);

  BOOL InitInstance() override;
  // Lets the main hot-key list go while the window layer still runs: a global application object
  // is destroyed only after the layer's own tables, and its accelerator table is one of them.
  int ExitInstance() override;
  // The main frame's window class. Base: empty, which turns the window class and the
  // single-instance check off.
  virtual void GetMainFrameClass(CString& name);

  // Folder codes: workstation 0 itself, 1 Sys, 2 Page Setup; workgroup 0 itself, 1 Sys, 2 Help,
  // 3 Users, 4 Jobs, 5 Page Setup. With `create`, the base folder and the result are made (one
  // level each). FALSE for another code or a redirection that fails.
  static BOOL GetAppDir(CString& path);
  static BOOL GetWorkstationDir(CString& path, int type, BOOL create);
  static BOOL GetWorkgroupDir(CString& path, int type, BOOL create);
  // The file name (null: the root name) with the extension, searched in the application folder,
  // the workstation folder, the tree under its Sys folder, then the trees under the application
  // folder's BIN, SYS and DAT folders.
  static BOOL FindFileInAppDir(LPCWSTR name, LPCWSTR extension, CString& path);
  // The application's profile (root name + ".dps", found as above, else the workstation Sys
  // folder's, which need not exist); the workstation's and the workgroup's profiles.
  static BOOL GetAppProfileFilename(CString& path);
  static BOOL GetWorkstationProfileFilename(CString& path);
  static BOOL GetWorkgroupProfileFilename(CString& path);
  // The key's text with every "help://" made the workgroup Help folder; FALSE when the key has
  // no text.
  static BOOL LoadURL(LPCWSTR key, CString& url, HINSTANCE module);

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
  virtual BOOL OnCreateMainFrameClass(LPCWSTR className);
  // Base: restores the running instance's window when minimised, brings it forward and answers
  // FALSE, which ends this start.
  virtual BOOL OnFoundPreviousInstance(CWnd* previous);
  virtual BOOL OnInitInstance() { return TRUE; }
  virtual BOOL OnPreShowMainFrame() { return TRUE; }
  virtual void OnPostShowMainFrame(CWnd*) {}
  // The root name of the language file (+ ".drs") and of the profile (+ ".dps"). Base: empty.
  virtual void GetAppRootName(CString& name);
  // Base: the program's folder.
  virtual void _GetAppDir(CString& path);
  virtual BOOL _FindFileInAppDir(LPCWSTR name, LPCWSTR extension, CString& path);

  // Registers the main program's language file (empty: root name + ".drs") and sets the language
  // (empty: the user's default language) for every module sharing it.
  BOOL InitResourceManager(LPCWSTR languageFile, LPCWSTR language);
  // `folder` + `name` + "/", or where `name`.redir beside it points to.
  static BOOL ResolveRedirectedFolder(LPCWSTR parent, LPCWSTR name, CString& result);

  // Each replaces the service held before. A null class leaves none (TRUE); a class that is not
  // the service's own or a derived one, or that cannot be made, leaves none and answers FALSE.
  BOOL InitGUIRegistry(CRuntimeClass* cls);
  BOOL InitIDRegistry(CRuntimeClass* cls);
  BOOL RegisterID(UINT id, LPCWSTR name);
  void UnregisterID(UINT id);
  // Replaces the main hot-key list with one of `cls` (null: none, TRUE) loaded from the data item
  // of the language files (empty: "QVKERNEL_MAINFRAME_HOTKEYS"), then from the "Hotkeys" section
  // of the application's profile, whose keys take combinations over. FALSE, with no list, when
  // the class is not a hot-key list or no key was loaded.
  BOOL InitHotKeyList(LPCWSTR resourceName, CRuntimeClass* cls);
  void LoadHotKeyList(CQVHotKeyList* list, LPCWSTR resourceName);
  void LoadExtraHotKeyList(CQVHotKeyList* list);

  // Set by the derived application's constructor: the document must derive from CQVDocument,
  // the frame from CQVMainFrame; a null view is a blank view.
  UINT m_nTemplateID { 0 };
  CRuntimeClass* m_pDocumentClass { nullptr };
  CRuntimeClass* m_pFrameClass { nullptr };
  CRuntimeClass* m_pViewClass { nullptr };

private:
  static BOOL LoadIDText(UINT id, CString& text, LPCWSTR prefix, HINSTANCE module);

  CQVDocument* m_pDocument { nullptr };
  CQVMainFrame* m_pMainFrame { nullptr };
  CQVGUIRegistry* m_pGUIRegistry { nullptr };
  CQVIDRegistry* m_pIDRegistry { nullptr };
  CQVHotKeyList* m_pHotKeyList { nullptr };
};
