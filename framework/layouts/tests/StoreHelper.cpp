// A second process for the shared-store test: saves and deletes screen layouts in one store through
// the save and delete dialogs, answering every question with Yes.
//
//   framework_layouts_store_helper <root> <tag> <rounds> <seed>
//
// Each round saves the process's own layout (ID <tag>), saves one of the shared layouts S0..S3, or
// deletes one of them, and then reads a shared layout back. A layout saved in round n has the
// display name "<tag>-<n>" and the dock state Payload(tag, n). Prints "saved <n>" for each save of
// its own layout that succeeded, "torn <id>" for a layout read back whose parts disagree, and
// "done" at the end.

#include "framework/layouts/CQVSCLDeleteDialog.h"
#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/CQVSCLSaveDialog.h"
#include "framework/layouts/tests/StorePayload.h"

#include "foundation/util/CDPXBuffer.h"
#include "platform/ui/win/winctrl.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

namespace {

int AnswerYes(HWND, LPCWSTR, LPCWSTR, UINT) { return IDYES; }

class Saving : public CQVSCLSaveDialog {
public:
  std::string name;
  std::string state;

protected:
  BOOL SaveLayout(CQVSCLItem& item) override {
    CDPXGMemBuffer buffer;
    if (!buffer.Alloc(static_cast<DWORD>(state.size()))) return FALSE;
    std::copy(state.begin(), state.end(), buffer.Lock());
    return item.Set(u"SCL.DisplayName", CString::FromUtf8(name)) && item.Set_DockState(buffer);
  }
};

// Runs the dialog through `start` with `script` inside its loop; the dialog's result.
BOOL Drive(CDialog& dialog, const std::function<BOOL()>& start, const std::function<void(CDialog&)>& script) {
  QTimer::singleShot(0, [&dialog, script] {
    if (dialog.GetSafeHwnd()) script(dialog);
  });
  return start();
}

void Click(CDialog& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void CancelWhenOpen(CDialog& dialog) {
  if (dialog.GetSafeHwnd() && dialog.IsWindowVisible()) Click(dialog, IDCANCEL);
}

BOOL Save(CQVSCLManager& store, const std::string& id, const std::string& tag, int round) {
  Saving dialog;
  dialog.name = tag + "-" + std::to_string(round);
  dialog.state = Payload(tag, round);
  store.IDList_Refresh();
  return Drive(dialog, [&] { return dialog.DoDialog(store); },
               [&](CDialog& d) {
                 d.SetDlgItemText(1031, CString::FromUtf8(id));
                 Click(d, IDOK);
                 CancelWhenOpen(d);
               });
}

void Delete(CQVSCLManager& store, const CString& id) {
  if (store.IDList_Refresh() <= 0) return;
  CQVSCLDeleteDialog dialog;
  Drive(dialog, [&] { return dialog.DoDialog(store); },
        [&](CDialog& d) {
          const int count = static_cast<int>(d.SendDlgItemMessage(1034, CB_GETCOUNT));
          for (int i = 0; i < count; ++i) {
            CString listed;
            if (!store.IDList_Get(static_cast<int>(d.SendDlgItemMessage(1034, CB_GETITEMDATA, i)), listed) ||
                listed.CompareNoCase(id) != 0)
              continue;
            d.SendDlgItemMessage(1034, CB_SETCURSEL, static_cast<WPARAM>(i));
            Click(d, IDOK);
            break;
          }
          CancelWhenOpen(d);
        });
}

// Empty when the layout, read back, is missing or whole (a display name and the dock state it
// names); else what is wrong.
std::string Torn(CQVSCLManager& store, const CString& id) {
  CQVSCLItem item;
  if (!store.Open(id, &item, TRUE)) return {};
  CString name;
  CDPXGMemBuffer state;
  const bool named = item.Get(u"SCL.DisplayName", name);
  const bool hasState = item.Get_DockState(state);
  store.Close(id, &item);
  if (!named && !hasState) return {};  // just created, or gone while it was copied
  const std::string text = name.ToUtf8();
  if (!named) return "a dock state without a name";
  if (!hasState) return text + " without a dock state";
  const size_t dash = text.rfind('-');
  const std::string expected = dash == std::string::npos ? std::string() : Payload(text.substr(0, dash), std::atoi(text.c_str() + dash + 1));
  if (state.GetSize() == expected.size() && std::equal(expected.begin(), expected.end(), state.Lock())) return {};
  return text + " with another dock state";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  SetMessageBoxHandler(&AnswerYes);
  CQVSCLManager store;
  store.SetRootDir(CString::FromUtf8(argv[1]));
  const std::string tag = argv[2];
  const int rounds = std::atoi(argv[3]);
  std::mt19937 random(static_cast<unsigned>(std::atoi(argv[4])));
  for (int round = 1; round <= rounds; ++round) {
    const std::string shared = "S" + std::to_string(random() % 4);
    switch (random() % 3) {
    case 0:
      if (Save(store, tag, tag, round)) std::printf("saved %d\n", round);
      break;
    case 1: Save(store, shared, tag, round); break;
    default: Delete(store, CString::FromUtf8(shared)); break;
    }
    const CString check = CString::FromUtf8("S" + std::to_string(random() % 4));
    if (const std::string torn = Torn(store, check); !torn.empty())
      std::printf("torn %s: %s\n", check.ToUtf8().c_str(), torn.c_str());
    std::fflush(stdout);
  }
  std::printf("done\n");
  return 0;
}
