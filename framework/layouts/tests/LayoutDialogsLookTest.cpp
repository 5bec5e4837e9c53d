// The layout dialogs in English and German: their titles and labels come from the kernel's
// language file; pictures of each go to build/artifacts.

#include "framework/layouts/CQVSCLDeleteDialog.h"
#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/CQVSCLSaveDialog.h"
#include "framework/layouts/CQVScreenLayoutDialog.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "framework/layouts/tests/LayoutsTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"

#include <QDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

struct Seen {
  std::string title, label;
  bool saved = false;
};

Seen Look(CDialog& dialog, const std::function<INT_PTR()>& start, int labelId, const std::string& picture) {
  Seen seen;
  RunModal(dialog, start, [&](CDialog& d) {
    CString text;
    d.GetWindowText(text);
    seen.title = text.ToUtf8();
    seen.label = ItemText(d, labelId).ToUtf8();
    seen.saved = SaveScreenshot(d.GetSafeHwnd(), picture);
    d.EndDialog(IDCANCEL);
  });
  return seen;
}

TEST(LayoutDialogs, ShowTheirTextsInEnglishAndGerman) {
  LayoutsTestApp app;
  CQVScreenLayoutProfile profile;
  profile.SetFilename(app.Path("layouts.ini"));
  profile.SetLayoutInfo(profile.CreateLayout(u"Review"), u"Title", u"STR_LAYOUT_REVIEW");
  profile.CreateLayout(u"Default");
  CQVSCLManager store;
  const CString root = app.Path("store/");
  QDir().mkpath(QString::fromStdString(root.ToUtf8()));
  store.SetRootDir(root);
  for (const char16_t* id : {u"Evening", u"Morning"}) {
    store.Create(id);
    CQVSCLItem item;
    store.Open(id, &item, FALSE);
    item.Set_Language(u"en-us");
    store.Close(id, &item);
  }
  store.IDList_Refresh();

  const struct {
    const char16_t* language;
    const char* saveTitle;
    const char* deleteTitle;
    const char* nameLabel;
    const char* storeLabel;
  } rows[] = {
      {u"en-us", "Save screen layout", "Delete screen layout", "Layout name:", "Screen layout:"},
      {u"de-de", "Bildschirmlayout speichern", "Bildschirmlayout löschen", "Layoutname:", "Bildschirmlayout:"},
  };
  for (const auto& row : rows) {
    const std::string language = CString(row.language).ToUtf8();
    SCOPED_TRACE(language);
    ASSERT_TRUE(CQVRCM::SetCurrentLanguage(row.language, nullptr, FALSE));
    CQVScreenLayoutDialog save, remove;
    CQVSCLSaveDialog storeSave;
    CQVSCLDeleteDialog storeDelete;
    const Seen seen[] = {
        Look(save, [&] { return static_cast<INT_PTR>(save.DoSave(profile)); }, 1010, "screen_layout_save_" + language),
        Look(remove, [&] { return static_cast<INT_PTR>(remove.DoDelete(profile)); }, 1010, "screen_layout_delete_" + language),
        Look(storeSave, [&] { return static_cast<INT_PTR>(storeSave.DoDialog(store)); }, 1029, "layout_store_save_" + language),
        Look(storeDelete, [&] { return static_cast<INT_PTR>(storeDelete.DoDialog(store)); }, 1032,
             "layout_store_delete_" + language),
    };
    const std::string titles[] = {row.saveTitle, row.deleteTitle, row.saveTitle, row.deleteTitle};
    const std::string labels[] = {row.nameLabel, row.nameLabel, "Name:", row.storeLabel};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(seen[i].title, titles[i]) << "dialog " << i;
      EXPECT_EQ(seen[i].label, labels[i]) << "dialog " << i;
      EXPECT_TRUE(seen[i].saved) << "dialog " << i;
    }
  }
}

}  // namespace
