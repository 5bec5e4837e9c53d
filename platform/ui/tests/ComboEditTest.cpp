// The edit field of a combo box as a window of its own (found, subclassed, told what to do, and
// destroyed with its box), the colours edits ask their parent for, and the simple combo box whose
// list is always shown.

#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/MessageSequence.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace msgseq;

constexpr int kFieldId = 1001;

struct Heard {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Heard> g_heard;  // what the parent window was sent

// The colours the parent answers with (a null brush: no answer).
struct Colours {
  HBRUSH brush {};
  COLORREF text {};
  COLORREF background {};
};
Colours g_colours;

LRESULT ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_heard.push_back({message, wParam, lParam});
  Recorder::Current().RecordParent(hwnd, message, wParam, lParam);
  if ((message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) && g_colours.brush) {
    CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
    dc->SetTextColor(g_colours.text);
    dc->SetBkColor(g_colours.background);
    return reinterpret_cast<LRESULT>(g_colours.brush);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ComboFields : public ::testing::Test {
protected:
  void SetUp() override {
    parent = MakeParentWindow(u"ComboFieldParent", ParentProc);
    ASSERT_NE(parent, nullptr);
    g_heard.clear();
    g_colours = Colours {};
  }
  void TearDown() override {
    DestroyWindow(parent);
    for (HBRUSH brush : brushes) DeleteObject(brush);
  }

  HWND Make(LPCWSTR cls, DWORD style, int height = 24, LPCWSTR text = u"") {
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 160, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(20)), nullptr, nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
  HWND MakeCombo(DWORD kind, int height = 120) {
    HWND box = Make(WC_COMBOBOXW, kind, height);
    for (LPCWSTR s : {u"one", u"two", u"three"}) SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    return box;
  }
  HBRUSH Brush(COLORREF colour) {
    brushes.push_back(CreateSolidBrush(colour));
    return brushes.back();
  }
  static std::vector<HWND> AskedForColours(UINT message) {
    std::vector<HWND> asked;
    for (const Heard& h : g_heard)
      if (h.message == message) asked.push_back(reinterpret_cast<HWND>(h.lParam));
    return asked;
  }

  Recorder rec;  // what the parent hears from its controls
  HWND parent {};
  std::vector<HBRUSH> brushes;
};

// The notifications a combo box (ID 20) sends its parent.
const std::vector<Expected> kFocusIn = {{CBN_SETFOCUS, kParent | kSent | kWParam, 20}};
const std::vector<Expected> kFocusOut = {{CBN_KILLFOCUS, kParent | kSent | kWParam, 20}};
const std::vector<Expected> kOneLetterTyped = {{CBN_EDITUPDATE, kParent | kSent}, {CBN_EDITCHANGE, kParent | kSent}};
const std::vector<Expected> kTwoLettersTyped = {{CBN_EDITUPDATE, kParent | kSent}, {CBN_EDITCHANGE, kParent | kSent},
                                                {CBN_EDITUPDATE, kParent | kSent}, {CBN_EDITCHANGE, kParent | kSent}};
const std::vector<Expected> kChosenByTheUser = {{CBN_SELCHANGE, kParent | kSent | kWParam, 20}};

std::u16string Text(HWND hwnd) {
  char16_t text[64] {};
  GetWindowTextW(hwnd, text, 64);
  return text;
}

std::u16string ClassOf(HWND hwnd) {
  char16_t name[32] {};
  GetClassNameW(hwnd, name, 32);
  return name;
}

QComboBox* BoxWidget(HWND box) { return qobject_cast<QComboBox*>(ClientOf(box)); }

// A click of the left button on a widget at a point of its own, as the desktop delivers it (so it
// moves Qt's focus as a real click does).
void Click(QWidget* target, QPoint at) { QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at); }

// ---- The field is a window -------------------------------------------------------------------------

struct KindChange {
  const char* name;
  DWORD from;
  DWORD to;
};

class FieldWindow : public ComboFields, public ::testing::WithParamInterface<KindChange> {};

// Checks that the box has an edit field window exactly when its kind has an edit field, and that
// the window is found wherever windows are looked for. Answers the field.
HWND CheckField(HWND box, DWORD kind) {
  HWND field = GetDlgItem(box, kFieldId);
  if (kind == CBS_DROPDOWNLIST) {
    EXPECT_EQ(field, nullptr) << "a drop-down list has no edit field";
    EXPECT_EQ(GetWindow(box, GW_CHILD), nullptr);
    return nullptr;
  }
  EXPECT_NE(field, nullptr);
  if (!field) return nullptr;
  EXPECT_EQ(ClassOf(field), u"Edit");
  EXPECT_EQ(GetDlgCtrlID(field), kFieldId);
  EXPECT_EQ(GetParent(field), box);
  EXPECT_EQ(GetWindow(box, GW_CHILD), field);
  EXPECT_TRUE(IsWindowVisible(field));
  RECT boxRect {};
  GetWindowRect(box, &boxRect);
  if (kind == CBS_SIMPLE) {
    EXPECT_EQ(boxRect.bottom - boxRect.top, 120) << "a simple box is as high as it was made";
  } else {
    EXPECT_LT(boxRect.bottom - boxRect.top, 40) << "a drop-down box is as high as its closed box";
  }
  EXPECT_EQ(ClientOf(field), BoxWidget(box)->lineEdit()) << "the window is the box's own line edit";

  // Where the field lies on the screen is where the box's line edit is.
  QLineEdit* line = BoxWidget(box)->lineEdit();
  RECT r {};
  GetWindowRect(field, &r);
  QPoint topLeft = line->mapToGlobal(QPoint());
  EXPECT_EQ(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)), QRect(topLeft, line->size()));
  POINT middle {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  EXPECT_EQ(WindowFromPoint(middle), field);
  ScreenToClient(box, &middle);
  EXPECT_EQ(ChildWindowFromPoint(box, middle), field);
  return field;
}

TEST_P(FieldWindow, AnEditableBoxHasAnEditWindowThatFollowsItsKind) {
  const KindChange& k = GetParam();
  HWND box = MakeCombo(k.from);
  SendMessageW(box, CB_SETCURSEL, 1, 0);
  HWND before = CheckField(box, k.from);

  CWnd::ModifyStyle(box, 3, k.to, 0);
  HWND after = CheckField(box, k.to);
  if (before && !after) {
    EXPECT_FALSE(IsWindow(before)) << "the field's window goes with the field";
  }
  if (before && after) {
    EXPECT_EQ(after, before) << "the same field stays";
  }
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 1) << "the items and the selection stay";
  EXPECT_EQ(Text(box), u"two");
  Pump();  // Qt lets go of a line edit it no longer needs
  if (after) {
    EXPECT_EQ(Text(after), u"two");
    EXPECT_EQ(ClientOf(after), BoxWidget(box)->lineEdit());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FieldWindow,
    ::testing::Values(KindChange {"DropDownToList", CBS_DROPDOWN, CBS_DROPDOWNLIST},
                      KindChange {"ListToDropDown", CBS_DROPDOWNLIST, CBS_DROPDOWN},
                      KindChange {"SimpleToList", CBS_SIMPLE, CBS_DROPDOWNLIST},
                      KindChange {"ListToSimple", CBS_DROPDOWNLIST, CBS_SIMPLE},
                      KindChange {"SimpleToDropDown", CBS_SIMPLE, CBS_DROPDOWN}),
    [](const ::testing::TestParamInfo<KindChange>& info) { return std::string(info.param.name); });

TEST_F(ComboFields, MessagesToTheFieldActOnTheBoxsField) {
  HWND box = MakeCombo(CBS_DROPDOWN);
  HWND field = GetDlgItem(box, kFieldId);
  ASSERT_NE(field, nullptr);
  SetWindowTextW(field, u"hello");
  EXPECT_EQ(Text(box), u"hello");
  EXPECT_EQ(Text(field), u"hello");

  SendMessageW(field, EM_SETSEL, 1, 3);
  DWORD start = 0, end = 0;
  SendMessageW(box, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(BoxWidget(box)->lineEdit()->selectedText(), QStringLiteral("el"));
  int returns = 0;
  QObject::connect(BoxWidget(box)->lineEdit(), &QLineEdit::returnPressed, [&returns] { ++returns; });
  SendMessageW(field, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(returns, 1) << "a key sent to the field reaches it once";
  SendMessageW(box, CB_SETEDITSEL, 0, MAKELPARAM(0, 2));
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 2u);

  // The box's limit is the field's.
  SendMessageW(box, CB_LIMITTEXT, 6, 0);
  EXPECT_EQ(SendMessageW(field, EM_GETLIMITTEXT, 0, 0), 6);
  SetFocus(box);
  SendMessageW(field, EM_SETSEL, 5, 5);
  rec.Clear();
  TypeText(QStringLiteral("xyz"));
  EXPECT_EQ(Text(box), u"hellox") << "typing stops at the limit";
  EXPECT_SEQUENCE(rec, kOneLetterTyped) << "the box still reports what the user types";
}

// ---- A subclass of the field -----------------------------------------------------------------------

// The box's edit field as a grid cell's editor takes it over: it sees the input before the field,
// eats one letter, and keeps a record of what it was sent.
class FieldEditor : public CEdit {
public:
  std::vector<Heard> heard;
  std::vector<UINT> Keys() const {
    std::vector<UINT> keys;
    for (const Heard& h : heard)
      if (h.message == WM_KEYDOWN) keys.push_back(static_cast<UINT>(h.wParam));
    return keys;
  }
  int Count(UINT message) const {
    return static_cast<int>(std::count_if(heard.begin(), heard.end(), [message](const Heard& h) { return h.message == message; }));
  }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    heard.push_back({message, wParam, lParam});
    if (message == WM_CHAR && wParam == u'x') return 0;
    return CEdit::WindowProc(message, wParam, lParam);
  }
};

// Takes the field over when the field first asks for its colours.
class CellCombo : public CComboBox {
public:
  FieldEditor editor;
  HWND asking {};
  UINT kind {};

protected:
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT nCtlColor) {
    if (!editor.GetSafeHwnd() && nCtlColor == CTLCOLOR_EDIT) {
      asking = wnd->GetSafeHwnd();
      kind = nCtlColor;
      editor.SubclassWindow(asking);
    }
    return CComboBox::OnCtlColor(dc, wnd, nCtlColor);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CellCombo, CComboBox)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST_F(ComboFields, ASubclassOfTheFieldSeesItsInputFirstAndGoesWithTheBox) {
  CellCombo combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 10, 170, 130), CWnd::FromHandle(parent), 20));
  HWND box = combo.GetSafeHwnd();
  HWND field = GetDlgItem(box, kFieldId);
  ASSERT_NE(field, nullptr);

  // The field asks for its colours as it paints: through its box, which passes the question on.
  ClientOf(field)->grab();
  EXPECT_EQ(combo.asking, field);
  EXPECT_EQ(combo.kind, static_cast<UINT>(CTLCOLOR_EDIT));
  ASSERT_EQ(combo.editor.GetSafeHwnd(), field);
  EXPECT_EQ(AskedForColours(WM_CTLCOLOREDIT), std::vector<HWND>({field}));

  rec.Clear();
  SetFocus(box);
  EXPECT_EQ(GetFocus(), field) << "the box hands the focus to its field";
  EXPECT_EQ(combo.editor.Count(WM_SETFOCUS), 1);
  EXPECT_SEQUENCE(rec, kFocusIn) << "the focus passing from the box to its field is not reported";

  // Keys come to the box's widget, which holds Qt's focus for its line edit.
  QLineEdit* line = BoxWidget(box)->lineEdit();
  int returns = 0;
  QObject::connect(line, &QLineEdit::returnPressed, [&returns] { ++returns; });
  QTest::keyClicks(BoxWidget(box), QStringLiteral("axb"));
  EXPECT_EQ(Text(box), u"ab") << "the letter the subclass eats stays out of the field";
  EXPECT_EQ(combo.editor.Count(WM_CHAR), 3);
  EXPECT_SEQUENCE(rec, kTwoLettersTyped);
  combo.editor.heard.clear();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab}) QTest::keyClick(BoxWidget(box), key);
  EXPECT_EQ(combo.editor.Keys(), std::vector<UINT>({VK_RETURN, VK_ESCAPE, VK_TAB}));
  EXPECT_EQ(returns, 1) << "the field takes each key once";

  combo.editor.heard.clear();
  Click(line, QPoint(4, line->height() / 2));
  EXPECT_EQ(combo.editor.Count(WM_LBUTTONDOWN), 1) << "clicks on the field are the field's";
  EXPECT_EQ(combo.editor.Count(WM_LBUTTONUP), 1);

  rec.Clear();
  SetFocus(parent);
  EXPECT_EQ(combo.editor.Count(WM_KILLFOCUS), 1);
  EXPECT_SEQUENCE(rec, kFocusOut);

  combo.editor.heard.clear();
  combo.DestroyWindow();
  EXPECT_EQ(combo.editor.Count(WM_DESTROY), 1);
  EXPECT_EQ(combo.editor.Count(WM_NCDESTROY), 1);
  EXPECT_EQ(combo.editor.GetSafeHwnd(), nullptr) << "the subclass lets go of the field";
  EXPECT_FALSE(IsWindow(field));
  EXPECT_EQ(combo.GetSafeHwnd(), nullptr);
  Pump();  // the widgets go
}

// ---- Colours ----------------------------------------------------------------------------------------

struct ColourCase {
  const char* name;
  LPCWSTR cls;
  DWORD style;
  UINT asks;     // the message the parent gets
  bool answers;  // whether the parent chooses colours
};

class EditColours : public ComboFields, public ::testing::WithParamInterface<ColourCase> {};

bool IsYellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60; }
bool IsBlueish(QRgb c) { return qBlue(c) > qRed(c) + 100 && qBlue(c) > qGreen(c) + 100; }

TEST_P(EditColours, ThePaintingEditTakesTheColoursItsParentChooses) {
  const ColourCase& c = GetParam();
  if (c.answers) g_colours = Colours {Brush(RGB(255, 255, 0)), RGB(0, 0, 255), RGB(255, 255, 0)};
  bool combo = c.cls == std::u16string(WC_COMBOBOXW);
  HWND control = Make(c.cls, c.style, combo ? 24 : 40);
  HWND edit = combo ? GetDlgItem(control, kFieldId) : control;
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, u"WWWW");

  g_heard.clear();
  QImage picture = ClientOf(edit)->grab().toImage();
  std::vector<HWND> asked = AskedForColours(c.asks);
  EXPECT_FALSE(asked.empty());
  EXPECT_TRUE(std::all_of(asked.begin(), asked.end(), [edit](HWND h) { return h == edit; })) << "the edit asks for itself";
  QRgb background = picture.pixel(picture.width() - 4, picture.height() / 2);
  bool blueText = false;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width() / 2; ++x) blueText = blueText || IsBlueish(picture.pixel(x, y));
  EXPECT_EQ(IsYellow(background), c.answers) << std::hex << background;
  EXPECT_EQ(blueText, c.answers);

  // A parent that stops answering gets the edit's own colours back.
  g_colours = Colours {};
  picture = ClientOf(edit)->grab().toImage();
  EXPECT_FALSE(IsYellow(picture.pixel(picture.width() - 4, picture.height() / 2)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditColours,
    ::testing::Values(ColourCase {"Edit", WC_EDITW, 0, WM_CTLCOLOREDIT, true},
                      ColourCase {"ReadOnlyEdit", WC_EDITW, ES_READONLY, WM_CTLCOLORSTATIC, true},
                      ColourCase {"MultiLineEdit", WC_EDITW, ES_MULTILINE, WM_CTLCOLOREDIT, true},
                      ColourCase {"ComboBoxField", WC_COMBOBOXW, CBS_DROPDOWN, WM_CTLCOLOREDIT, true},
                      ColourCase {"NoAnswer", WC_EDITW, 0, WM_CTLCOLOREDIT, false}),
    [](const ::testing::TestParamInfo<ColourCase>& info) { return std::string(info.param.name); });

// ---- The simple combo box ------------------------------------------------------------------------

TEST_F(ComboFields, ASimpleBoxShowsItsListUnderTheFieldAndTakesTheUsersChoice) {
  HWND box = MakeCombo(CBS_SIMPLE, 120);
  RECT window {};
  GetWindowRect(box, &window);
  EXPECT_EQ(window.bottom - window.top, 120) << "a simple box keeps the height it is given";
  auto* list = ClientOf(box)->findChild<QListView*>();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisibleTo(ClientOf(box)));
  RECT field {};
  GetWindowRect(GetDlgItem(box, kFieldId), &field);
  QRect listOnScreen(list->mapToGlobal(QPoint()), list->size());
  EXPECT_GE(listOnScreen.top(), field.bottom) << "the list lies under the field";
  EXPECT_EQ(listOnScreen.bottom() + 1, window.bottom) << "and fills the rest of the window";
  for (int row = 0; row < 3; ++row)
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 0)))) << row;
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), CB_ERR) << "no row is chosen before someone chooses";
  EXPECT_FALSE(list->selectionModel()->hasSelection());
  EXPECT_TRUE(SendMessageW(box, CB_GETDROPPEDSTATE, 0, 0));

  QRect second = list->visualRect(list->model()->index(1, 0));
  SetForegroundWindow(parent);
  ASSERT_TRUE(PumpUntil([this] { return GetActiveWindow() == parent; })) << "a click moves the focus in the active window";
  rec.Only({CBN_SELCHANGE});
  rec.Clear();
  Click(list->viewport(), second.center());
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Text(box), u"two") << "the choice fills the field";
  EXPECT_SEQUENCE(rec, kChosenByTheUser);
  EXPECT_EQ(GetFocus(), GetDlgItem(box, kFieldId)) << "a click in the list gives the field the focus";

  PressKey(Qt::Key_Down);
  EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(box), u"three");
  EXPECT_EQ(list->currentIndex().row(), 2) << "the list shows the choice made with the keys";
  EXPECT_SEQUENCE(rec, kChosenByTheUser);
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  HostOf(parent)->grab(QRect(0, 0, 200, 150)).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/simple_combo_box.png"));

  SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_FALSE(list->selectionModel()->hasSelection());
  EXPECT_SEQUENCE(rec, {}) << "the program's choices are not reported";
}

}  // namespace
