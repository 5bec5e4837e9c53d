#pragma once
// CMainDoc: the viewer's one document. It owns the store of published batches and answers every
// command of the viewer's command table, whether it comes from a menu, a tool bar or a hot key;
// most handlers pass the command on to the store, the document browser or a dialog, and do
// nothing while what they need does not exist.
//
// The handlers are kept in one file per area: the document's own (navigation, tool modes, view
// actions, layouts, bars, help, closing) in CMainDocCommands.cpp; the search and its results
// dialog in CMainDocSearch.cpp; the dialogs of the browser in CMainDocBrowser.cpp; export,
// settings and the about box in CMainDocOutput.cpp.

#include "framework/app/CQVDocument.h"
#include "viewer/app/CMainCommandState.h"
#include "viewer/app/CMainOutput.h"
#include "viewer/model/CIBSPlant.h"

#include <memory>

class CMainBrowser;
class CMainFrame;
class CMainResults;
class CSearchResultsDlg;
struct QVSettings;

class CMainDoc : public CQVDocument {
  DECLARE_DYNCREATE(CMainDoc)
public:
  CMainDoc();
  ~CMainDoc() override;

  // The running viewer's document; null when there is none.
  static CMainDoc* GetMainDoc();

  BOOL OnNewDocument() override;
  // Writes the settings file before the frame closes.
  BOOL CanCloseFrame(CFrameWnd* frame) override;

  CIBSPlant& GetPlant() { return m_plant; }
  // The browser the view shows; null while there is none. Not owned.
  void SetBrowser(CMainBrowser* browser) { m_pBrowser = browser; }
  CMainBrowser* GetBrowser() const { return m_pBrowser; }
  // The print, PDF and e-mail jobs of the browser and the results dialog.
  CMainOutput& GetOutput() { return m_output; }

  // Stores the grid in the settings and gives it to the browser, keeping its fit mode.
  void SetBrowserLayout(int rows, int columns);
  // 1 by 2, then 2 by 1, then 1 by 2 again ...
  void ToggleBrowserLayout();

  // The "-M:" search of the start, run once at the first idle moment.
  virtual void RunPendingSearch();
  // The general options the settings dialog gives back on OK: stored, the "-M:" location no
  // longer used, the tool-bar picture size and the frame's title and bars brought up to date.
  void ApplyGeneralOptions(const QVSettings& options);

  // What the enable and check rules look at.
  CMainCommandState GetCommandState() const;

  // The message that carries an output request (0 view, 1 e-mail, 2 PDF, 3 print the images, 4
  // print the hit list, in the second parameter) to the results dialog.
  static constexpr UINT kResultsOutputRequest = 0x0402;
  // The results dialog's title and column headings in the current language, while it is shown.
  void ReloadResultsTexts();
  // The results dialog's requests: a result shown in the browser, and the outputs 1 (e-mail) to 4
  // (print the hit list) over its selected rows.
  void OpenResult(LPCWSTR batchName, LPCWSTR documentNumber);
  void RunResultsOutput(int request, CSearchResultsDlg& dialog);

protected:
  // The results dialog with its menu, made on first use.
  CMainResults& GetResults();
  void RunSearch(BOOL pending);
  // The results dialog's window (null while it has none), whether it exists and is visible; its
  // selection's rules.
  CWnd* GetResultsWindow() const;
  BOOL HasResultsWindow() const;
  BOOL IsResultsWindowVisible() const;
  BOOL ResultsAllowOneDocumentOutput() const;
  BOOL ResultsAllowImagePrinting() const;
  // Gives the results dialog the options of the settings after the settings dialog.
  void ApplyResultsOptions();
  void ShowResultsAsAfterSearch();

  void OnUpdateCommand(CCmdUI* cmdUI);

  // CMainDocCommands.cpp
  void OnAppPrint();
  void OnAppEmail();
  void OnAppSaveAsPdf();
  void OnAppExit();
  void OnToolMode(UINT id);
  void OnBrowserLayout(UINT id);
  void OnZoomIn();
  void OnZoomOut();
  void OnFit(UINT id);
  void OnShowBar(UINT id);
  void OnDocumentPrevious();
  void OnDocumentNext();
  void OnFirstImage();
  void OnLastImage();
  void OnPreviousScreen();
  void OnNextScreen();
  void OnScroll(UINT id);
  void OnHelpFile();
  void OnOtherCtrl(UINT id);
  // CMainDocSearch.cpp
  void OnAppSearch();
  void OnShowSearchResults();
  void OnOutput(UINT id);
  // CMainDocBrowser.cpp
  void OnZoomStep();
  void OnGotoDocument();
  void OnGotoImage();
  void OnMagnificationRatio();
  // CMainDocOutput.cpp
  void OnAppExport();
  void OnAppSetting();
  void OnHelpAbout();

  // Asks the main frame to compose its title again.
  void RefreshTitle();

  CIBSPlant m_plant;
  CMainBrowser* m_pBrowser {nullptr};
  CMainOutput m_output {*this};
  std::unique_ptr<CMainResults> m_pResults;
  BOOL m_bLayoutToggle {TRUE};

  DECLARE_MESSAGE_MAP()
};
