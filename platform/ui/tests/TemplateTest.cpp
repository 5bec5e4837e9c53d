// The dialog-script reader: what it takes, what it refuses (and where), and where templates are
// found.

#include "platform/core/module.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/win/dialogtemplate.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogScripts, ADialogAndItsItemsAreRead) {
  const char* script = R"(# a comment
define IDC_NAME 1001
dialog IDD_LOGON 1 2 186 95
  style WS_POPUP | WS_CAPTION | DS_MODALFRAME
  exstyle WS_EX_TOOLWINDOW
  caption "Log ""on"" now\n"
  font 8 "MS Shell Dlg"
  item Static IDC_STATIC "&Name:" 7 9 40 8
  item Edit IDC_NAME "" 50 7 129 14 WS_BORDER | WS_TABSTOP | 0x80
  item Button IDOK "OK" 75 74 50 14 NOT WS_VISIBLE | BS_DEFPUSHBUTTON exstyle WS_EX_CLIENTEDGE
  item "Name With Blanks" 7 "" 0 0 1 1
end
dialog 300 0 0 10 10
end
)";
  std::vector<std::string> errors;
  std::vector<DialogTemplate> read = ParseDialogScript(script, &errors);
  EXPECT_TRUE(errors.empty()) << errors.front();
  ASSERT_EQ(read.size(), 2u);
  const DialogTemplate& d = read[0];
  EXPECT_EQ(d.name, CString(u"IDD_LOGON"));
  EXPECT_EQ(d.id, 0);
  EXPECT_EQ((std::vector<short> {d.x, d.y, d.cx, d.cy}), (std::vector<short> {1, 2, 186, 95}));
  EXPECT_EQ(d.style, static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME));
  EXPECT_EQ(d.exStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
  EXPECT_EQ(d.caption, CString(u"Log \"on\" now\n"));
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(d.faceName, CString(u"MS Shell Dlg"));
  ASSERT_EQ(d.items.size(), 4u);
  EXPECT_EQ(d.items[0].id, -1);
  EXPECT_EQ(d.items[1].id, 1001) << "a defined name";
  EXPECT_EQ(d.items[1].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | 0x80));
  EXPECT_EQ(d.items[2].style, static_cast<DWORD>(WS_CHILD | BS_DEFPUSHBUTTON)) << "NOT takes a flag away";
  EXPECT_EQ(d.items[2].exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE));
  EXPECT_EQ(d.items[3].className, CString(u"Name With Blanks")) << "a class name in quotes";
  EXPECT_EQ(read[1].id, 300) << "a dialog named by number";
}

TEST(DialogScripts, BrokenDialogsAreLeftOutAndTheirLinesNamed) {
  struct Case {
    const char* line;  // put into a dialog at line 2
    const char* error;
  };
  const Case cases[] = {
      {"style WS_POPUP | NO_SUCH_FLAG", "line 2: unknown flag NO_SUCH_FLAG"},
      {"style WS_POPUP WS_CAPTION", "line 2: flags must be joined with '|'"},
      {"style WS_POPUP |", "line 2: a flag is missing after '|'"},
      {"caption \"open", "line 2: a text is not closed"},
      {"caption plain", "line 2: caption needs one text"},
      {"font 0 \"Arial\"", "line 2: font needs a size in points and a face"},
      {"item Edit 1 \"\" 1 2 3", "line 2: item needs a class, an ID, a text and x y cx cy"},
      {"item Edit NOWHERE \"\" 1 2 3 4", "line 2: not an item ID: NOWHERE"},
      {"item Edit 1 \"\" 1 2 3 40000", "line 2: not a dialog-unit number: 40000"},
      {"item Edit 70000 \"\" 1 2 3 4", "line 2: not an item ID: 70000"},
      {"dialog X 0 0 1 1", "line 2: dialog inside a dialog"},
      {"colour red", "line 2: unknown word colour"},
  };
  for (const Case& c : cases) {
    std::string script = std::string("dialog BAD 0 0 10 10\n") + c.line + "\nend\ndialog GOOD 0 0 5 5\nend\n";
    std::vector<std::string> errors;
    std::vector<DialogTemplate> read = ParseDialogScript(script, &errors);
    SCOPED_TRACE(c.line);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.front(), c.error);
    ASSERT_EQ(read.size(), 1u) << "the dialog after a broken one is still read";
    EXPECT_EQ(read[0].name, CString(u"GOOD"));
  }
  std::vector<std::string> errors;
  EXPECT_TRUE(ParseDialogScript("dialog OPEN 0 0 1 1\nitem Edit 1 \"\" 1 1 1 1\n", &errors).empty());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "line 3: the dialog is not closed with end");
  errors.clear();
  ParseDialogScript("item Edit 1 \"\" 1 1 1 1\n", &errors);
  EXPECT_EQ(errors.at(0), "line 1: outside a dialog: item");
}

TEST(DialogScripts, TemplatesAreFoundInTheModuleThatOwnsThem) {
  HINSTANCE program = GetModuleHandleW(nullptr);
  EXPECT_NE(FindDialogTemplate(program, u"IDD_ALL_CONTROLS"), nullptr);
  EXPECT_NE(FindDialogTemplate(program, MAKEINTRESOURCEW(200)), nullptr) << "by ID";
  EXPECT_EQ(FindDialogTemplate(program, u"QVUI_IDD_FILEDIALOG"), nullptr) << "the layer's own dialog is not the program's";
  EXPECT_NE(FindDialogTemplate(nullptr, u"QVUI_IDD_FILEDIALOG"), nullptr) << "but found among all modules";
  EXPECT_EQ(FindDialogTemplateModule(u"IDD_ALL_CONTROLS"), program);
  EXPECT_EQ(FindDialogTemplate(nullptr, u"NO_SUCH_DIALOG"), nullptr);
  EXPECT_EQ(FindDialogTemplate(nullptr, nullptr), nullptr);
}

}  // namespace
