#pragma once
// What the framework dialog tests share: the tests' language file in a chosen language, message
// boxes answered and recorded instead of shown, and screenshots kept as artefacts of the run.

#include "framework/dialogs/CQVDialog.h"
#include "platform/core/CString.h"
#include "platform/ui/win/winuser.h"

#include <string>
#include <vector>

// Registers the tests' language file (FrameworkDialogsTest.drs) for the program, sharing its
// language with the kernel, and switches both to the language ("en-us" or "de-de").
void UseLanguage(LPCWSTR language);

// One message box that was asked for.
struct AskedBox {
  HWND owner;
  CString text;
  CString caption;
  bool hasCaption;
  UINT type;
};

// While it lives, message boxes are not shown: each is recorded and answered with the next of
// `answers` (IDOK once they run out). `during`, when set, runs inside each box, as code that the
// box's own loop would run.
class BoxRecorder {
public:
  explicit BoxRecorder(std::vector<int> answers = {});
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  std::vector<AskedBox> asked;
  std::vector<int> answers;
  void (*during)(HWND owner) {};
};

// Writes the bytes of `text` to a file (a test fails when it cannot).
class QString;
void WriteTextFile(const QString& path, const char* text);

// The window as it shows on the screen, with its frame when it has one, written to
// build/artifacts/<name>.png; FALSE when it cannot be written.
bool SaveScreenshot(HWND hwnd, const std::string& name);

// Items of the test template IDD_TEST (tests/res/testdialogs.dlg).
enum : int { IDC_TEST_LABEL = 1001, IDC_TEST_NAME = 1002, IDC_TEST_NOTE = 1003 };

// The item map of IDD_TEST under a map name: LABEL, OK and CANCEL translated, NAME and NOTE not.
void MapTestItems(CQVDialogHelper& helper, LPCWSTR mapName);

// A dialog on IDD_TEST that logs its hooks ("controls", "map", "layout", "settings") and answers
// FALSE from the one named in `failAt`.
class HookedDialog : public CQVDialog {
public:
  explicit HookedDialog(LPCWSTR mapName = u"DLG_TEST", CWnd* parent = nullptr)
      : CQVDialog(u"IDD_TEST", parent), m_mapName(mapName) {}
  std::vector<std::string> hooks;
  std::string failAt;
  using CQVDialog::__ExecScript;
  using CQVDialog::_OnToolTipNotify;

protected:
  BOOL OnInitControls() override { return Log("controls"); }
  BOOL OnInitIDMap() override {
    MapTestItems(*this, m_mapName);
    return Log("map");
  }
  BOOL OnInitLayout() override {
    hooks.push_back("layout");
    return CQVDialog::OnInitLayout() && failAt != "layout";
  }
  BOOL OnInitSettings() override { return Log("settings"); }

private:
  BOOL Log(const char* hook) {
    hooks.push_back(hook);
    return failAt != hook;
  }
  CString m_mapName;
};

// The text of a dialog item.
CString ItemText(CWnd& owner, int id);
// A child item's rectangle in the owner's client coordinates.
CRect ItemRect(CWnd& owner, int id);
