// Layout scripts: every command, anchor and alignment mode against the geometry it gives, the
// spellings and units of a line, lines that must change nothing, and scripts read from files and
// from the language file.

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Where OK and CANCEL stand before each line runs, in a client area of 400 x 300.
const CRect kOK(10, 10, 90, 34);         // 80 x 24
const CRect kCancel(200, 100, 280, 124);  // 80 x 24

struct Case {
  const char16_t* line;
  bool ok;     // what the line answers
  CRect rect;  // where OK stands afterwards
};

std::string U8(const char16_t* text) { return CString(text).ToUtf8(); }

TEST(LayoutScript, EachCommandAnchorAndModePutsTheItemWhereItBelongs) {
  const CRect unchanged = kOK;
  const Case cases[] = {
      // Spellings of one command.
      {u"move lt OK 10 20", true, CRect(10, 20, 90, 44)},
      {u"Move(LT, OK, 10, 20)", true, CRect(10, 20, 90, 44)},
      {u"move:lt,OK,10,20", true, CRect(10, 20, 90, 44)},
      {u"  move  @ OK # 10 , 20 ", true, CRect(10, 20, 90, 44)},
      {u"MOVE DLG_TEST_OK 10 20", true, CRect(10, 20, 90, 44)},
      {u"move ok 10 20", false, unchanged},
      {u"move lt OK 10", false, unchanged},
      {u"move xx OK 10 20", false, unchanged},
      {u"move OK ten 20", false, unchanged},
      {u"move OK 10 20 30", false, unchanged},
      // Anchors.
      {u"move OK -5 -5", true, CRect(-5, -5, 75, 19)},
      {u"move lc OK 0 100", true, CRect(0, 88, 80, 112)},
      {u"move lb OK 0 100", true, CRect(0, 76, 80, 100)},
      {u"move ct OK 100 0", true, CRect(60, 0, 140, 24)},
      {u"move cc OK 100 100", true, CRect(60, 88, 140, 112)},
      {u"move cb OK 100 100", true, CRect(60, 76, 140, 100)},
      {u"move rt OK 100 0", true, CRect(20, 0, 100, 24)},
      {u"move rc OK 100 100", true, CRect(20, 88, 100, 112)},
      {u"move rb OK 100 100", true, CRect(20, 76, 100, 100)},
      // Units: percentages of the client extent, counting from the far edge, both.
      {u"move OK 10r 10r", true, CRect(390, 290, 470, 314)},
      {u"move rb OK 10r 10r", true, CRect(310, 266, 390, 290)},
      {u"move OK 50% 10%", true, CRect(200, 30, 280, 54)},
      {u"move OK 20%r 0", true, CRect(320, 0, 400, 24)},
      {u"move OK 10R 0", true, CRect(390, 0, 470, 24)},
      {u"move OK 33% 0", true, CRect(132, 0, 212, 24)},
      {u"move OK 10px 0", false, unchanged},
      // Sizes keep the top-left corner and must be positive.
      {u"size OK 50% 20", true, CRect(10, 10, 210, 30)},
      {u"SIZE OK 100 30", true, CRect(10, 10, 110, 40)},
      {u"size OK 10r 10%", true, CRect(10, 10, 400, 40)},
      {u"size OK 0 20", false, unchanged},
      {u"size OK -5 20", false, unchanged},
      {u"size OK 20", false, unchanged},
      // Alignment against CANCEL (200..280 by 100..124): each horizontal mode with tops level...
      {u"align OK CANCEL l-l 0 t-t 0", true, CRect(200, 100, 280, 124)},
      {u"align OK CANCEL l-c 0 t-t 0", true, CRect(240, 100, 320, 124)},
      {u"align OK CANCEL l-r 0 t-t 0", true, CRect(280, 100, 360, 124)},
      {u"align OK CANCEL c-l 0 t-t 0", true, CRect(160, 100, 240, 124)},
      {u"align OK CANCEL c-c 0 t-t 0", true, CRect(200, 100, 280, 124)},
      {u"align OK CANCEL c-r 0 t-t 0", true, CRect(240, 100, 320, 124)},
      {u"align OK CANCEL r-l 0 t-t 0", true, CRect(120, 100, 200, 124)},
      {u"align OK CANCEL r-c 0 t-t 0", true, CRect(160, 100, 240, 124)},
      {u"align OK CANCEL r-r 0 t-t 0", true, CRect(200, 100, 280, 124)},
      // ... each vertical mode with left edges level ...
      {u"align OK CANCEL l-l 0 t-c 0", true, CRect(200, 112, 280, 136)},
      {u"align OK CANCEL l-l 0 t-b 0", true, CRect(200, 124, 280, 148)},
      {u"align OK CANCEL l-l 0 c-t 0", true, CRect(200, 88, 280, 112)},
      {u"align OK CANCEL l-l 0 c-c 0", true, CRect(200, 100, 280, 124)},
      {u"align OK CANCEL l-l 0 c-b 0", true, CRect(200, 112, 280, 136)},
      {u"align OK CANCEL l-l 0 b-t 0", true, CRect(200, 76, 280, 100)},
      {u"align OK CANCEL l-l 0 b-c 0", true, CRect(200, 88, 280, 112)},
      {u"align OK CANCEL l-l 0 B-B 0", true, CRect(200, 100, 280, 124)},
      // ... and the offsets, in pixels and in units.
      {u"align OK CANCEL r-l -8 t-t 0", true, CRect(112, 100, 192, 124)},
      {u"align OK CANCEL c-c 10% c-c 10%", true, CRect(240, 130, 320, 154)},
      {u"align OK NOPE l-l 0 t-t 0", false, unchanged},
      {u"align OK CANCEL l-t 0 t-t 0", false, unchanged},
      {u"align OK CANCEL l-l 0 l-l 0", false, unchanged},
      {u"align OK CANCEL l-l 0 t-t", false, unchanged},
      // Lines that are no command.
      {u"", false, unchanged},
      {u"fly OK 1 2", false, unchanged},
      {u"dialogsize 50% 200", false, unchanged},
      {u"dialogsize 400r 300", false, unchanged},
      {u"dialogsize 0 300", false, unchanged},
  };
  UseLanguage(u"en-us");
  HookedDialog dialog;
  dialog.SetLayout(FALSE);
  RunModal(dialog, [&](CDialog& d) {
    ASSERT_TRUE(dialog.__ExecScript(u"dialogsize 400 300"));
    CRect client;
    d.GetClientRect(&client);
    ASSERT_EQ(client, CRect(0, 0, 400, 300)) << "the client area is exactly as asked, whatever the frame";
    for (const Case& c : cases) {
      dialog.MoveDlgItem(IDOK, kOK, FALSE);
      dialog.MoveDlgItem(IDCANCEL, kCancel, FALSE);
      EXPECT_EQ(dialog.__ExecScript(c.line), c.ok) << U8(c.line);
      EXPECT_EQ(ItemRect(d, IDOK), c.rect) << U8(c.line);
      EXPECT_EQ(ItemRect(d, IDCANCEL), kCancel) << U8(c.line) << ": the reference stays";
      d.GetClientRect(&client);
      EXPECT_EQ(client, CRect(0, 0, 400, 300)) << U8(c.line);
    }
    d.EndDialog(IDOK);
  });
}

TEST(LayoutScript, AFileRunsTheFreeLinesOfTheDialogsSectionInOrderAndSkipsTheRest) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("layout.dps"));
  WriteTextFile(path,
        "; comment\r\n"
        "[DLG_OTHER]\r\n"
        "move OK 0 0\r\n"
        "[dlg_test]\r\n"
        "size = OK, 50, 20\r\n"
        "move OK 30 40\r\n"
        "bad line\r\n"
        "\r\n"
        "size OK 60 30\r\n"
        "; move OK 0 0\r\n");
  const QString missingSection = folder.filePath(QStringLiteral("other.dps"));
  WriteTextFile(missingSection, "[DLG_OTHER]\r\nmove OK 0 0\r\n");
  const CString file = CString::FromUtf8(path.toStdString());
  const CString other = CString::FromUtf8(missingSection.toStdString());
  const CString absent = CString::FromUtf8(folder.filePath(QStringLiteral("absent.dps")).toStdString());

  UseLanguage(u"en-us");
  HookedDialog dialog;
  dialog.SetLayout(FALSE);
  RunModal(dialog, [&](CDialog& d) {
    dialog.MoveDlgItem(IDOK, kOK, FALSE);
    EXPECT_TRUE(dialog.LoadLayoutScript(other)) << "a missing section is no failure";
    EXPECT_EQ(ItemRect(d, IDOK), kOK);
    EXPECT_FALSE(dialog.LoadLayoutScript(absent));
    EXPECT_TRUE(dialog.LoadLayoutScript(file));
    EXPECT_EQ(ItemRect(d, IDOK), CRect(30, 40, 90, 70)) << "the key line is skipped, the lines after a bad one run";
    d.EndDialog(IDOK);
  });

  // Without an owner window, or without a map name, there is nothing to run.
  CQVDialogHelper alone(nullptr);
  alone.BeginIDMap(u"DLG_TEST");
  EXPECT_FALSE(alone.LoadLayoutScript(file));
  EXPECT_FALSE(alone.LoadLayoutScript());
}

TEST(LayoutScript, TheLanguageFileNamesTheScriptOfEachLanguage) {
  struct LanguageCase {
    const char16_t* language;
    CRect name;
  } languages[] = {{u"en-us", CRect(60, 8, 260, 30)}, {u"de-de", CRect(120, 8, 280, 30)}};
  for (const LanguageCase& c : languages) {
    UseLanguage(c.language);
    HookedDialog dialog;
    dialog.SetLayout(FALSE);
    RunModal(dialog, [&](CDialog& d) {
      EXPECT_TRUE(dialog.HasLayoutScript());
      EXPECT_TRUE(dialog.LoadLayoutScript()) << U8(c.language);
      EXPECT_EQ(ItemRect(d, IDC_TEST_NAME), c.name) << U8(c.language);
      d.EndDialog(IDOK);
    });
  }
  UseLanguage(u"en-us");
  for (const char16_t* map : {u"DLG_NOTPL", u"DLG_BROKEN", u""}) {
    HookedDialog dialog(map);
    dialog.SetLayout(FALSE);
    RunModal(dialog, [&](CDialog& d) {
      EXPECT_FALSE(dialog.LoadLayoutScript()) << U8(map) << ": no script, or one that cannot be read";
      d.EndDialog(IDOK);
    });
  }
}

}  // namespace
