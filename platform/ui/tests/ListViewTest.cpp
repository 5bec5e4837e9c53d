// Report lists and their headers.

#include "platform/ui/afx/CListCtrl.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Heard {
  UINT code;
  int item;
  int subItem;
  UINT newState;
};

// The list's parent: records notifications, answers text requests, draws owner-drawn rows.
class Owner : public CWnd {
public:
  std::vector<Heard> heard;
  std::vector<DRAWITEMSTRUCT> drawn;
  std::vector<DRAWITEMSTRUCT> drawnHeaders;
  int textRequests = 0;

protected:
  BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->code == LVN_GETDISPINFOW) {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
      ++textRequests;
      Answer(info->item);
    } else if (hdr->code == LVN_ITEMCHANGED || hdr->code == LVN_COLUMNCLICK || hdr->code == LVN_DELETEITEM) {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(lParam);
      heard.push_back({hdr->code, nm->iItem, nm->iSubItem, nm->uNewState});
    }
    if (result) *result = 0;
    return TRUE;
  }
  LRESULT OnDraw(WPARAM, LPARAM lParam) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    (dis->CtlType == ODT_HEADER ? drawnHeaders : drawn).push_back(*dis);
    return TRUE;
  }
  // "row <data>" for the item's text, "<data>:<column>" for a sub-item's.
  static void Answer(LVITEMW& item) {
    std::u16string data(1, static_cast<char16_t>(u'0' + item.lParam));
    std::u16string text = item.iSubItem == 0 ? u"row " + data : data + u":" + std::u16string(1, static_cast<char16_t>(u'0' + item.iSubItem));
    int n = std::min<int>(static_cast<int>(text.size()), item.cchTextMax - 1);
    std::copy_n(text.c_str(), n, item.pszText);
    item.pszText[n] = 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
  ON_MESSAGE(WM_DRAWITEM, &Owner::OnDraw)
END_MESSAGE_MAP()

class Lists : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(owner.CreateEx(0, u"AfxWnd", u"", WS_POPUP | WS_VISIBLE, CRect(0, 0, 400, 300), nullptr, 0));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 400, 300), &owner, 9));
    list.InsertColumn(0, u"Batch", LVCFMT_LEFT, 120);
    list.InsertColumn(1, u"Document", LVCFMT_RIGHT, 80);
  }
  int Heard(UINT code) const {
    int n = 0;
    for (const auto& h : owner.heard) n += h.code == code;
    return n;
  }
  // A press and release of the left button on a row, as the view receives them; the modifier keys
  // are let go afterwards.
  void Click(int row, Qt::KeyboardModifiers modifiers) {
    CRect r;
    ASSERT_TRUE(list.GetItemRect(row, &r, LVIR_BOUNDS));
    QWidget* pane = ClientOf(list.GetSafeHwnd());
    QWidget* viewport = pane->childAt(QPoint(r.left + 5, r.CenterPoint().y));
    ASSERT_NE(viewport, nullptr);
    QPoint at = viewport->mapFrom(pane, QPoint(r.left + 5, r.CenterPoint().y));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent e(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, modifiers);
      QCoreApplication::sendEvent(viewport, &e);
    }
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
  }
  Owner owner;
  CListCtrl list;
};

int CompareData(LPARAM a, LPARAM b, LPARAM descending) { return descending ? int(b - a) : int(a - b); }

TEST_F(Lists, RowsKeepTheirTextsDataAndStatesAndSortStably) {
  const LPARAM data[] = {3, 1, 2, 1};
  for (int i = 0; i < 4; ++i) {
    LVITEMW item {LVIF_TEXT | LVIF_PARAM, i, 0, 0, 0, const_cast<LPWSTR>(u"x"), 0, 0, data[i]};
    list.InsertItem(&item);
    list.SetItemText(i, 1, std::u16string(1, static_cast<char16_t>(u'a' + i)).c_str());
  }
  EXPECT_EQ(list.GetItemCount(), 4);
  EXPECT_EQ(list.GetItemText(2, 1), CString(u"c"));
  EXPECT_EQ(list.GetColumnWidth(0), 120);
  LVCOLUMNW column {LVCF_FMT, 0, 0, nullptr, 0, 0};
  list.GetColumn(1, &column);
  EXPECT_EQ(column.fmt, LVCFMT_RIGHT);

  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  ASSERT_GE(Heard(LVN_ITEMCHANGED), 1) << "state changes are reported, also the program's";

  list.SortItems(&CompareData, 0);
  // 1(b), 1(d), 2(c), 3(a): equal data keep their order, the selection stays with its row.
  const char16_t* order[] = {u"b", u"d", u"c", u"a"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.GetItemText(i, 1), CString(order[i])) << "row " << i;
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);

  LVFINDINFOW byData {LVFI_PARAM, nullptr, 3, {}, 0};
  EXPECT_EQ(list.FindItem(&byData), 3);
  LVFINDINFOW missing {LVFI_PARAM, nullptr, 9, {}, 0};
  EXPECT_EQ(list.FindItem(&missing), -1);

  list.DeleteItem(0);
  EXPECT_EQ(Heard(LVN_DELETEITEM), 1);
  EXPECT_EQ(list.GetItemText(0, 1), CString(u"d"));
  list.DeleteAllItems();
  EXPECT_EQ(Heard(LVN_DELETEITEM), 4) << "each row is reported when all go";
  EXPECT_EQ(list.GetItemCount(), 0);
}

// Rows appended while the list does not redraw reach its view together; any other use of the
// list in between, and redrawing again, first lets the view know of them.
TEST_F(Lists, RowsAppendedWhileRedrawIsOffReachTheViewWholeAndInOrder) {
  list.SendMessage(WM_SETREDRAW, FALSE);
  auto append = [&](const char16_t* text, LPARAM data, UINT state = 0) {
    LVITEMW item {LVIF_TEXT | LVIF_PARAM | (state ? LVIF_STATE : 0u), list.GetItemCount(), 0, state, state,
                  const_cast<LPWSTR>(text), 0, 0, data};
    return list.InsertItem(&item);
  };
  EXPECT_EQ(append(u"b", 2), 0);
  EXPECT_EQ(append(u"c", 3), 1);
  EXPECT_EQ(list.GetItemCount(), 2);
  LVITEMW first {LVIF_TEXT | LVIF_PARAM, 0, 0, 0, 0, const_cast<LPWSTR>(u"a"), 0, 0, 1};
  EXPECT_EQ(list.InsertItem(&first), 0) << "an insertion before the end comes after the appended rows";
  EXPECT_EQ(append(u"d", 4), 3);
  EXPECT_EQ(append(u"e", 5, LVIS_SELECTED), 4) << "a row appended selected";
  EXPECT_EQ(append(u"f", 6), 5);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
  EXPECT_EQ(append(u"g", 7), 6);
  list.SendMessage(WM_SETREDRAW, TRUE);

  ASSERT_EQ(list.GetItemCount(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(list.GetItemText(i, 0), CString(std::u16string(1, static_cast<char16_t>(u'a' + i)).c_str())) << "row " << i;
    EXPECT_EQ(list.GetItemData(i), static_cast<DWORD_PTR>(i + 1)) << "row " << i;
    EXPECT_EQ(list.GetItemText(i, 1), CString(std::u16string(1, static_cast<char16_t>(u'1' + i)).c_str()) + u":1")
        << "sub-items never set are the parent's";
  }
  CRect top, bottom;
  ASSERT_TRUE(list.GetItemRect(0, &top, LVIR_BOUNDS));
  ASSERT_TRUE(list.GetItemRect(6, &bottom, LVIR_BOUNDS));
  EXPECT_FALSE(bottom.IsRectEmpty()) << "the view shows the last row";
  EXPECT_GT(bottom.top, top.top);
}

// The comparison of LVM_SORTITEMSEX gets the rows' places before the sort, whatever their data.
TEST_F(Lists, SortingByPlaceComparesTheRowsIndices) {
  const std::vector<int> keys = {30, 10, 20, 10};
  for (int i = 0; i < 4; ++i) {
    LVITEMW item {LVIF_TEXT | LVIF_PARAM, i, 0, 0, 0, const_cast<LPWSTR>(u"x"), 0, 0, 100 + i};
    list.InsertItem(&item);
  }
  const auto byKey = [](LPARAM a, LPARAM b, LPARAM table) {
    const auto& k = *reinterpret_cast<const std::vector<int>*>(table);
    if (a < 0 || b < 0 || a >= LPARAM(k.size()) || b >= LPARAM(k.size())) return 99;
    return k[size_t(a)] - k[size_t(b)];
  };
  ASSERT_TRUE(list.SortItemsEx(byKey, reinterpret_cast<DWORD_PTR>(&keys)));
  const DWORD_PTR order[] = {101, 103, 102, 100};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.GetItemData(i), order[i]) << "row " << i;
}

TEST_F(Lists, CallbackTextsAndSubItemsNeverSetComeFromTheParent) {
  LVITEMW item {LVIF_TEXT | LVIF_PARAM, 0, 0, 0, 0, LPSTR_TEXTCALLBACKW, 0, 0, 7};
  ASSERT_EQ(list.InsertItem(&item), 0);
  LVITEMW plain {LVIF_PARAM, 1, 0, 0, 0, nullptr, 0, 0, 5};
  ASSERT_EQ(list.InsertItem(&plain), 1);
  EXPECT_EQ(list.GetItemText(0, 0), CString(u"row 7"));
  EXPECT_EQ(list.GetItemText(0, 1), CString(u"7:1")) << "a sub-item never set is the parent's";
  EXPECT_EQ(list.GetItemText(1, 0), CString(u"")) << "an item inserted without text has an empty one";

  list.SetItemText(0, 1, u"fixed");
  int asked = owner.textRequests;
  EXPECT_EQ(list.GetItemText(0, 1), CString(u"fixed"));
  EXPECT_EQ(owner.textRequests, asked) << "a text set is not asked for";
  list.SetItemText(0, 1, LPSTR_TEXTCALLBACKW);
  EXPECT_EQ(list.GetItemText(0, 1), CString(u"7:1")) << "setting the callback mark gives the text back to the parent";
  LVITEMW back {LVIF_TEXT, 0, 0, 0, 0, LPSTR_TEXTCALLBACKW, 0, 0, 0};
  list.SetItem(&back);
  EXPECT_EQ(list.GetItemText(0, 0), CString(u"row 7"));
}

TEST_F(Lists, SingleSelectionCanBeSwitchedOnAndOffAtRunTime) {
  for (int i = 0; i < 3; ++i) list.InsertItem(i, u"row");
  Click(0, Qt::NoModifier);
  Click(2, Qt::ControlModifier);
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  list.ModifyStyle(0, LVS_SINGLESEL);
  Click(0, Qt::NoModifier);
  Click(2, Qt::ControlModifier);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
  list.ModifyStyle(LVS_SINGLESEL, 0);
  Click(0, Qt::ControlModifier);
  EXPECT_EQ(list.GetSelectedCount(), 2u);
}

// The selection mark is where the user last clicked or moved to with a key: the row that Enter
// or a command for "the marked row" acts on. A range made with Shift keeps it at its start.
TEST_F(Lists, TheUsersClicksAndKeysMoveTheSelectionMark) {
  for (int i = 0; i < 5; ++i) list.InsertItem(i, u"row");
  list.SetFocus();
  EXPECT_EQ(list.GetSelectionMark(), -1);
  struct Step {
    const char* what;
    std::function<void()> act;
    int mark;
    int selected;
  };
  auto key = [this](UINT vk) { return [this, vk] { list.SendMessage(WM_KEYDOWN, vk, 1); }; };
  const Step steps[] = {
      {"Home on the focused row", [&] { list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED), key(VK_HOME)(); }, 0, 1},
      {"a click on a row", [this] { Click(1, Qt::NoModifier); }, 1, 1},
      {"Down", key(VK_DOWN), 2, 1},
      {"a key that moves nothing", key(VK_F5), 2, 1},
      {"Shift and a click extend from the mark", [this] { Click(4, Qt::ShiftModifier); }, 2, 3},
      {"Ctrl and a click", [this] { Click(0, Qt::ControlModifier); }, 0, 4},
      {"a plain click again", [this] { Click(3, Qt::NoModifier); }, 3, 1},
      {"Home", key(VK_HOME), 0, 1},
      {"End", key(VK_END), 4, 1},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(list.GetSelectionMark(), step.mark) << step.what;
    EXPECT_EQ(static_cast<int>(list.GetSelectedCount()), step.selected) << step.what;
  }
  // The caller's own marking stands until the user moves.
  list.SetSelectionMark(3);
  EXPECT_EQ(list.GetSelectionMark(), 3);
  list.DeleteAllItems();
  EXPECT_EQ(list.GetSelectionMark(), -1);
}

TEST_F(Lists, AClickOnAColumnTitleIsReportedAsAColumnClick) {
  CHeaderCtrl* control = list.GetHeaderCtrl();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->GetItemCount(), 2);
  CRect second;
  ASSERT_TRUE(control->GetItemRect(1, &second));
  EXPECT_EQ(second.left, 120);
  QWidget* header = ClientOf(control->GetSafeHwnd());
  QPoint at(second.CenterPoint().x, second.CenterPoint().y);
  QWidget* widget = header->childAt(at) ? header->childAt(at) : header;
  at = widget->mapFrom(header, at);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
  ASSERT_EQ(Heard(LVN_COLUMNCLICK), 1);
  EXPECT_EQ(owner.heard.back().subItem, 1);
}

TEST_F(Lists, OwnerDrawnRowsAndHeaderItemsAreDrawnByTheParent) {
  list.ModifyStyle(0, LVS_OWNERDRAWFIXED);
  for (int i = 0; i < 3; ++i) list.InsertItem(i, u"row");
  HDITEMW item {HDI_FORMAT, 0, nullptr, nullptr, 0, HDF_OWNERDRAW, 0, 0, 0};
  list.GetHeaderCtrl()->SetItem(0, &item);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  ClientOf(list.GetSafeHwnd())->grab();
  ClientOf(list.GetHeaderCtrl()->GetSafeHwnd())->grab();
  ASSERT_GE(owner.drawn.size(), 3u);
  const DRAWITEMSTRUCT* second = nullptr;
  for (const auto& d : owner.drawn)
    if (d.itemID == 1) second = &d;
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->CtlType, static_cast<UINT>(ODT_LISTVIEW));
  EXPECT_TRUE(second->itemState & ODS_SELECTED);
  CRect bounds;
  ASSERT_TRUE(list.GetItemRect(1, &bounds, LVIR_BOUNDS));
  EXPECT_EQ(CRect(second->rcItem).top, bounds.top) << "the row is drawn where the list has it";
  EXPECT_GE(owner.drawnHeaders.size(), 1u);
}

TEST_F(Lists, APressedOwnerDrawnHeaderItemIsDrawnSelected) {
  CHeaderCtrl* control = list.GetHeaderCtrl();
  HDITEMW item {HDI_FORMAT, 0, nullptr, nullptr, 0, HDF_OWNERDRAW, 0, 0, 0};
  control->SetItem(1, &item);
  CRect second;
  ASSERT_TRUE(control->GetItemRect(1, &second));
  QWidget* header = ClientOf(control->GetSafeHwnd());
  QWidget* widget = header->childAt(QPoint(second.CenterPoint().x, second.CenterPoint().y));
  if (!widget) widget = header;
  QPoint at = widget->mapFrom(header, QPoint(second.CenterPoint().x, second.CenterPoint().y));
  auto state = [&] {
    owner.drawnHeaders.clear();
    header->grab();
    for (const auto& d : owner.drawnHeaders)
      if (d.itemID == 1) return d.itemState;
    return static_cast<UINT>(-1);
  };
  EXPECT_EQ(state(), 0u);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  EXPECT_EQ(state(), static_cast<UINT>(ODS_SELECTED)) << "the item held down is drawn pressed";
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
  EXPECT_EQ(state(), 0u);
}

TEST_F(Lists, CheckBoxesAreTheStateImage) {
  list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  list.InsertItem(0, u"a");
  list.InsertItem(1, u"b");
  EXPECT_FALSE(list.GetCheck(0));
  list.SetCheck(1);
  EXPECT_TRUE(list.GetCheck(1));
  EXPECT_FALSE(list.GetCheck(0));
}

TEST_F(Lists, AHeaderItemShowsItsBitmapAtTheRightEndOfItsTitleUntilTheFormatDropsIt) {
  CHeaderCtrl* header = list.GetHeaderCtrl();
  CBitmap arrow;
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  HDC screen = ::GetDC(nullptr);
  arrow.Attach(::CreateCompatibleBitmap(screen, 7, 7));
  ::ReleaseDC(nullptr, screen);
  CBitmap* old = memory.SelectObject(&arrow);
  memory.FillSolidRect(0, 0, 7, 7, RGB(255, 0, 0));
  memory.SelectObject(old);
  HDITEMW item {HDI_FORMAT, 0, nullptr, nullptr, 0, 0, 0, 0, 0};
  header->GetItem(0, &item);
  item.mask = HDI_FORMAT | HDI_BITMAP;
  item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
  item.hbm = static_cast<HBITMAP>(arrow.GetSafeHandle());
  header->SetItem(0, &item);
  CRect first;
  ASSERT_TRUE(header->GetItemRect(0, &first));
  auto redColumns = [&] {
    QImage shown = ClientOf(header->GetSafeHwnd())->grab().toImage();
    std::vector<int> columns;
    for (int x = 0; x < shown.width(); ++x)
      if (shown.pixelColor(x, first.CenterPoint().y) == QColor(255, 0, 0)) columns.push_back(x);
    return columns;
  };
  std::vector<int> red = redColumns();
  ASSERT_EQ(red.size(), 7u) << "the bitmap, once";
  EXPECT_GT(red.front(), first.right - 20) << "at the right end of the item";
  EXPECT_LT(red.back(), first.right);
  HDITEMW read {HDI_FORMAT | HDI_BITMAP, 0, nullptr, nullptr, 0, 0, 0, 0, 0};
  header->GetItem(0, &read);
  EXPECT_EQ(read.hbm, item.hbm);
  read.mask = HDI_FORMAT;
  read.fmt &= ~HDF_BITMAP;
  header->SetItem(0, &read);
  EXPECT_TRUE(redColumns().empty()) << "without HDF_BITMAP no bitmap shows";
}

}  // namespace
