// Layout scripts, as a language file carries them for a dialog: whatever the script holds, running
// it on a shown dialog ends, and the dialog and its items are still there afterwards.

#include "framework/dialogs/CQVDialog.h"
#include "tools/fuzz/FuzzSupport.h"

#include <QApplication>

namespace {

// A dialog with named items on a kernel template, laid out by nothing but the script given.
class ScriptedDialog : public CQVDialog {
public:
  ScriptedDialog() : CQVDialog(u"QVKERNEL_IDD_SCREENLAYOUT", nullptr) {
    SetLayout(FALSE);
    SetTranslate(FALSE);
    SetToolTips(FALSE);
    SetCloseOnDeactivate(FALSE);
  }

protected:
  BOOL OnInitIDMap() override {
    BeginIDMap(u"DLG_FUZZ");
    DlgItem(1010, u"DLG_FUZZ_LABEL", FALSE);
    DlgItem(1012, u"DLG_FUZZ_LIST", FALSE);
    DlgItem(1013, u"DLG_FUZZ_ALL", FALSE);
    DlgItem(1014, u"DLG_FUZZ_NAME", FALSE);
    DlgItem(IDOK, u"DLG_FUZZ_OK", FALSE);
    DlgItem(IDCANCEL, u"DLG_FUZZ_CANCEL", FALSE);
    EndIDMap();
    return TRUE;
  }
};

ScriptedDialog& TheDialog() {
  static ScriptedDialog* dialog = [] {
    static int argc = 1;
    static char name[] = "fuzz_layout_script";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
    auto* d = new ScriptedDialog;
    d->ShowModeless(nullptr);
    fuzz::Check(d->GetSafeHwnd() != nullptr, "the dialog shows");
    return d;
  }();
  return *dialog;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScriptedDialog& dialog = TheDialog();
  CRect window;
  dialog.GetWindowRect(&window);
  const int ids[] = {1010, 1012, 1013, 1014, IDOK, IDCANCEL};
  CRect items[6];
  for (int i = 0; i < 6; ++i) {
    dialog.GetDlgItem(ids[i])->GetWindowRect(&items[i]);
    dialog.ScreenToClient(&items[i]);
  }
  const CString path = fuzz::WriteFile("layout.dps", data, size);
  dialog.LoadLayoutScript(path);
  fuzz::Check(IsWindow(dialog.GetSafeHwnd()), "the dialog is still there");
  // Back to the template's places, so that every input starts alike.
  dialog.MoveWindow(&window, FALSE);
  for (int i = 0; i < 6; ++i) {
    CWnd* item = dialog.GetDlgItem(ids[i]);
    fuzz::Check(item != nullptr, "an item is still there");
    item->MoveWindow(&items[i], FALSE);
  }
  return 0;
}
