// The e-mail dialogs driven as a user would: the formula editor's items and check, and the
// options dialog's mail programs, index-data box, range and log checks.
#include "foundation/language/CQVRCM.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/core/registry.h"
#include "platform/core/tests/TestFolder.h"
#include "platform/mapi/tests/SmtpSink.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CListBox.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/mail/CFormulaSetupDlg.h"
#include "viewer/mail/CNewEmailDlg.h"
#include "viewer/mail/MailClients.h"

#include <gtest/gtest.h>

namespace {

// Message boxes recorded by their text instead of shown.
class Boxes {
public:
  Boxes() {
    s_current = this;
    m_previous = SetMessageBoxHandler(&Record);
    CQVRCM::RegisterRCM(nullptr, u"ViewerMailTest.drs", TRUE);
    EXPECT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
  }
  ~Boxes() {
    SetMessageBoxHandler(m_previous);
    s_current = nullptr;
  }
  std::vector<std::string> texts;

private:
  static int Record(HWND, LPCWSTR text, LPCWSTR, UINT) {
    s_current->texts.push_back(CString(text).ToUtf8());
    return IDOK;
  }
  static inline Boxes* s_current = nullptr;
  MessageBoxHandler m_previous {};
};

void Click(CWnd& dialog, int id) {
  CWnd* item = dialog.GetDlgItem(id);
  const HWND control = item ? item->GetSafeHwnd() : nullptr;
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void Toggle(CWnd& dialog, int id, bool checked) {
  dialog.CheckDlgButton(id, checked ? BST_CHECKED : BST_UNCHECKED);
  Click(dialog, id);
}

std::string Text(CWnd& dialog, int id) {
  CString text;
  dialog.GetDlgItemText(id, text);
  return text.ToUtf8();
}

bool Open(CWnd& dialog) { return dialog.GetSafeHwnd() && dialog.IsWindowVisible(); }

}  // namespace

TEST(FormulaSetup, DeletingTheLastItemTakesAWholeLiteralFieldOrLineBreak) {
  struct Case {
    const char16_t* formula;
    const char16_t* left;
  };
  const Case cases[] = {
      {u"\"a\"<Kunde>", u"\"a\""},   {u"<Kunde>\"b c\"", u"<Kunde>"}, {u"\"a\"\r\n", u"\"a\""},
      {u"\"a\"\n", u"\"a\""},        {u"abc\"", u"abc"},              {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(WithoutLastItem(c.formula), CString(c.left)) << CString(c.formula).ToUtf8();
}

TEST(FormulaSetup, AddsPickedFieldsAndTakesOnlyAValidFormula) {
  Boxes boxes;
  CFormulaSetupDlg dialog;
  dialog.SetLabels({u"Nummer", u"Kunde"});
  std::string afterAdd, listedFirst;
  bool openAfterBadOk = false;
  int selStart = -1, selEnd = -1;
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(SaveScreenshot(dialog.GetSafeHwnd(), "mail-formula-dialog"));
    CListBox* list = static_cast<CListBox*>(dialog.GetDlgItem(1268));
    CString first;
    list->GetText(0, first);
    listedFirst = first.ToUtf8();
    list->SetCurSel(1);
    Click(dialog, 1271);
    afterAdd = Text(dialog, 1270);
    dialog.SetDlgItemText(1270, u"\"Nr \"<Preis>");
    Click(dialog, IDOK);
    openAfterBadOk = Open(dialog);
    static_cast<CEdit*>(dialog.GetDlgItem(1270))->GetSel(selStart, selEnd);
    Click(dialog, 1273);
    dialog.SetDlgItemText(1270, u"\"Nr \"<Nummer>\r\n<Kunde>");
    Click(dialog, IDOK);
  });
  CString formula(u"\"Nr \"");
  ASSERT_TRUE(dialog.Edit(formula));
  EXPECT_EQ(listedFirst, "Kunde") << "the list is sorted";
  EXPECT_EQ(afterAdd, "\"Nr \"<Nummer>");
  EXPECT_TRUE(openAfterBadOk);
  EXPECT_EQ(selStart, 5) << "the unknown field's first character is selected";
  EXPECT_EQ(selEnd, 6);
  EXPECT_EQ(boxes.texts, (std::vector<std::string> {"The formula names an index field the documents do not have."}));
  EXPECT_EQ(formula, u"\"Nr \"<Nummer>\r\n<Kunde>");
}

class NewEmail : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterMailProgram("Office Mail", "/opt/mail.so", {}, true);
    RegisterMailProgram("JUNO", "/opt/juno.so", {}, false);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Clients\\Mail\\No Library", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    RegCloseKey(key);
  }
  TestFolder m_folder;
  ScopedEnvironment m_registry { "QV_REGISTRY_DIR", m_folder.Native("config").c_str() };
};

// Formula set-up and folder picking answered without windows of their own.
class ScriptedEmailDlg : public CNewEmailDlg {
public:
  CString formulaAnswer;
  std::vector<CString> extraItemsSeen;

protected:
  BOOL EditFormula(CString& formula, const std::vector<CString>& extraItems) override {
    extraItemsSeen = extraItems;
    formula = formulaAnswer;
    return TRUE;
  }
  BOOL BrowseFolder(CString& folder) override {
    folder = u"/var/log/mail";
    return TRUE;
  }
};

TEST_F(NewEmail, OnlyProgramsWithALibraryAreListedAndJunoNever) {
  EXPECT_EQ(ListMailClients(), (std::vector<CString> {u"Office Mail"}));
}

TEST_F(NewEmail, TheOptionsGoBackIntoTheRecordAfterEveryCheckPasses) {
  Boxes boxes;
  ScriptedEmailDlg dialog;
  dialog.SetLabels({u"Kunde", u"Nummer"});
  dialog.m_nImageCount = 5;
  dialog.m_setting.strMailClient = u"office mail";
  dialog.m_setting.strMailTitle = u"\"Akte \"<Nummer>";
  dialog.m_setting.strMailBody = u"\"Hallo\"__CR__<Kunde>";
  dialog.m_setting.nRangeMode = 2;
  dialog.m_setting.nImagesFrom = 2;
  dialog.m_setting.nImagesTo = 4;
  std::string client, body, bodyWithData, bodyWithout, browsed;
  bool browseHidden = false, browseShown = false, checkFollowsBody = false;
  std::vector<std::string> boxesDuringRun;
  const INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    EXPECT_TRUE(SaveScreenshot(d.GetSafeHwnd(), "mail-options-dialog"));
    client = Text(d, 1235);
    body = Text(d, 1261);
    browseHidden = !d.GetDlgItem(1266)->IsWindowVisible();
    Toggle(d, 1262, true);
    bodyWithData = Text(d, 1261);
    Toggle(d, 1262, false);
    bodyWithout = Text(d, 1261);
    // The body set up with the index data: the box follows.
    dialog.formulaAnswer = u"<Associated Document Index Data>";
    Click(d, 1252);
    checkFollowsBody = d.IsDlgButtonChecked(1262) == BST_CHECKED;
    // Refusals, each leaving the dialog open.
    d.SetDlgItemText(1237, u"<Associated Document Index Data>");
    Click(d, IDOK);
    d.SetDlgItemText(1237, u"\"Akte\"");
    d.SetDlgItemText(1258, u"9");
    Click(d, IDOK);
    d.SetDlgItemText(1258, u"1");
    Click(d, IDOK);
    d.SetDlgItemText(1258, u"3");
    Toggle(d, 1264, true);
    browseShown = d.GetDlgItem(1266)->IsWindowVisible();
    Click(d, IDOK);
    Click(d, 1266);
    browsed = Text(d, 1265);
    boxesDuringRun = boxes.texts;
    Click(d, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(client, "Office Mail");
  EXPECT_EQ(body, "\"Hallo\"\r\n<Kunde>");
  EXPECT_EQ(bodyWithData, "\"Hallo\"\r\n<Kunde><Associated Document Index Data>");
  EXPECT_EQ(bodyWithout, "\"Hallo\"\r\n<Kunde>");
  EXPECT_EQ(dialog.extraItemsSeen, (std::vector<CString> {CFormula::kIndexDataItem}));
  EXPECT_TRUE(checkFollowsBody);
  EXPECT_TRUE(browseHidden);
  EXPECT_TRUE(browseShown);
  EXPECT_EQ(browsed, "/var/log/mail");
  EXPECT_EQ(boxesDuringRun, (std::vector<std::string> {
                                "The formula names an index field the documents do not have.",
                                "The last image of the range lies beyond the document's images.",
                                "The last image of the range comes before the first.",
                                "Choose the folder of the log.",
                            }));
  const EmailSetting& s = dialog.m_setting;
  EXPECT_EQ(s.strMailClient, u"Office Mail");
  EXPECT_EQ(s.strMailTitle, u"\"Akte\"");
  EXPECT_EQ(s.strMailBody, u"<Associated Document Index Data>");
  EXPECT_EQ(s.nIncludeADID, 1);
  EXPECT_EQ(s.nRangeMode, 2);
  EXPECT_EQ(s.nImagesFrom, 2);
  EXPECT_EQ(s.nImagesTo, 3);
  EXPECT_EQ(s.nSaveLogFile, 1);
  EXPECT_EQ(s.strLogPath, u"/var/log/mail");
}

TEST_F(NewEmail, AProgramNoLongerThereIsNamedAndTheDefaultTakesItsPlace) {
  Boxes boxes;
  ScriptedEmailDlg dialog;
  dialog.m_setting.strMailClient = u"Gone Mail";
  std::string client;
  RunModal(dialog, [&](CDialog& d) {
    client = Text(d, 1235);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(client, "Office Mail");
  EXPECT_EQ(boxes.texts, (std::vector<std::string> {"The mail program Gone Mail is not available."}));
}

TEST(NewEmailWithoutPrograms, TheListSaysSoAndOkIsRefused) {
  TestFolder folder;
  ScopedEnvironment registry("QV_REGISTRY_DIR", folder.Native("config").c_str());
  Boxes boxes;
  ScriptedEmailDlg dialog;
  dialog.m_nRangeAvailable = 0;
  dialog.m_setting.nRangeMode = 2;
  std::string client;
  bool open = false, rangeEnabled = true;
  RunModal(dialog, [&](CDialog& d) {
    client = Text(d, 1235);
    rangeEnabled = d.GetDlgItem(1254)->IsWindowEnabled();
    Click(d, IDOK);
    open = Open(d);
    Click(d, IDCANCEL);
  });
  EXPECT_EQ(client, "No mail program found");
  EXPECT_TRUE(dialog.m_bNoClients);
  EXPECT_TRUE(open);
  EXPECT_FALSE(rangeEnabled);
  EXPECT_EQ(dialog.m_setting.nRangeMode, 1);
  EXPECT_EQ(boxes.texts, (std::vector<std::string> {"No mail program found", "No mail program found"}));
}
