// Screen-layout files: a profile of named layouts and the profile of a layout in the shared store,
// whatever they hold. Every layout found has a valid name, is found again by that name, and its
// dock-state file lies in the profile's folder; a stored layout's window rectangle is never
// turned round.

#include "framework/app/CQVWinApp.h"
#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "tools/fuzz/FuzzSupport.h"

#include <sys/stat.h>

namespace {

class FuzzApp : public CQVWinApp {
public:
  void GetAppRootName(CString& name) override { name = u"FUZZ"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzApp app;
  const CString path = fuzz::WriteFile("layouts.ini", data, size);
  CQVScreenLayoutProfile profile;
  profile.SetFilename(path);
  const CString prefix = fuzz::PathOf("FUZZ.");
  const int count = profile.GetLayoutCount();
  for (int i = 0; i < count; ++i) {
    CString title, file, value;
    fuzz::Check(profile.GetLayoutName(i, title) && !title.IsEmpty(), "a layout without a title");
    fuzz::Check(profile.GetDockStateFilename(i, file), "a layout without a dock-state file");
    fuzz::Check(file.Find(prefix) == 0 && file.Find(u'/', prefix.GetLength()) < 0 && file.Find(u'\\') < 0,
                "a dock-state file outside the profile's folder");
    const CString name = file.Mid(prefix.GetLength(), file.GetLength() - prefix.GetLength() - 10);
    fuzz::Check(CQVScreenLayoutProfile::CheckName(name), "a layout name against the rule");
    fuzz::Check(profile.LayoutExist(name) == i, "a layout not found by its name");
    profile.GetLayoutInfo(i, u"Title", value);
  }

  // The same bytes as a stored layout's profile.
  static const std::string root = fuzz::Folder() + "/store";
  static const bool made = mkdir(root.c_str(), 0700) == 0 && mkdir((root + "/L").c_str(), 0700) == 0;
  fuzz::Check(made, "the store's folders");
  fuzz::WriteFile("store/L/profile", data, size);
  CQVSCLManager store;
  store.SetRootDir(CString::FromUtf8(root));
  CQVSCLItem item;
  fuzz::Check(store.Open(u"L", &item, TRUE), "a stored layout that cannot be opened");
  CString name;
  item.Get_DisplayName(name);
  CRect rect;
  item.Get_WindowRect(rect);
  fuzz::Check(rect.left <= rect.right && rect.top <= rect.bottom, "a window rectangle turned round");
  int width = 0, height = 0;
  item.Get_ScreenSize(width, height);
  store.Close(u"L", &item);
  return 0;
}
