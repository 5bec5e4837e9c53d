// Tree views and image lists.

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CImageList.h"
#include "platform/ui/afx/CTreeCtrl.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TreeNote {
  UINT code;
  UINT action;
  LPARAM newParam;
};

class Trees : public ::testing::Test {
protected:
  void SetUp() override {
    parent.CreateEx(0, u"AfxWnd", u"", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 300), nullptr, 0);
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 300, 300), &parent, 7));
    parent.notes = &notes;
  }

  class Parent : public CWnd {
  public:
    std::vector<TreeNote>* notes {};

  protected:
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
      auto* nm = reinterpret_cast<NMTREEVIEWW*>(lParam);
      if (notes) notes->push_back({nm->hdr.code, nm->action, nm->itemNew.lParam});
      if (result) *result = 0;
      return TRUE;
    }
  };

  int Count(UINT code) const {
    int n = 0;
    for (const TreeNote& note : notes) n += note.code == code;
    return n;
  }

  Parent parent;
  CTreeCtrl tree;
  std::vector<TreeNote> notes;
};

TEST_F(Trees, ItemsGoWhereTheyAreToldAndTheirHandlesDieWithThem) {
  HTREEITEM b = tree.InsertItem(u"b");
  HTREEITEM a = tree.InsertItem(u"a", TVI_ROOT, TVI_FIRST);
  HTREEITEM c = tree.InsertItem(u"c", TVI_ROOT, b);
  HTREEITEM child = tree.InsertItem(u"child", b);
  tree.SetItemData(child, 42);
  EXPECT_EQ(tree.GetRootItem(), a);
  EXPECT_EQ(tree.GetNextSiblingItem(a), b);
  EXPECT_EQ(tree.GetNextSiblingItem(b), c);
  EXPECT_EQ(tree.GetPrevSiblingItem(c), b);
  EXPECT_EQ(tree.GetChildItem(b), child);
  EXPECT_EQ(tree.GetParentItem(child), b);
  EXPECT_EQ(tree.GetParentItem(a), nullptr);
  EXPECT_TRUE(tree.ItemHasChildren(b));
  EXPECT_FALSE(tree.ItemHasChildren(a));
  EXPECT_EQ(tree.GetItemText(c), CString(u"c"));
  EXPECT_EQ(tree.GetItemData(child), 42u);
  EXPECT_EQ(tree.GetCount(), 4u);
  HTREEITEM sorted = tree.InsertItem(u"bb", TVI_ROOT, TVI_SORT);
  EXPECT_EQ(tree.GetPrevSiblingItem(sorted), b);
  EXPECT_EQ(tree.InsertItem(u"x", TVI_ROOT, child), nullptr) << "the sibling must be under the same parent";

  EXPECT_TRUE(tree.DeleteItem(b));
  EXPECT_EQ(Count(TVN_DELETEITEMW), 2) << "the item and its child are reported";
  EXPECT_EQ(tree.GetItemText(child), CString());
  EXPECT_FALSE(tree.SetItemText(b, u"again")) << "a deleted item's handle stays dead";
  EXPECT_EQ(tree.GetNextSiblingItem(a), sorted);
  HTREEITEM fresh = tree.InsertItem(u"fresh");
  EXPECT_NE(fresh, b) << "handles are not reused";
}

TEST_F(Trees, SelectionIsReportedWithItsCause) {
  HTREEITEM one = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, u"one", 0, 0, 0, 0, 1, TVI_ROOT, TVI_LAST);
  HTREEITEM two = tree.InsertItem(TVIF_TEXT | TVIF_PARAM, u"two", 0, 0, 0, 0, 2, TVI_ROOT, TVI_LAST);
  EXPECT_EQ(Count(TVN_SELCHANGEDW), 0) << "inserting selects nothing";
  tree.SelectItem(one);
  ASSERT_EQ(Count(TVN_SELCHANGEDW), 1);
  EXPECT_EQ(notes.back().action, static_cast<UINT>(TVC_UNKNOWN));
  EXPECT_EQ(notes.back().newParam, 1);
  EXPECT_EQ(tree.GetSelectedItem(), one);
  tree.SetFocus();
  PressKey(Qt::Key_Down);
  EXPECT_EQ(tree.GetSelectedItem(), two);
  ASSERT_EQ(Count(TVN_SELCHANGEDW), 2);
  EXPECT_EQ(notes.back().action, static_cast<UINT>(TVC_BYKEYBOARD));
  tree.SelectDropTarget(one);
  EXPECT_EQ(tree.GetDropHilightItem(), one);
  EXPECT_EQ(tree.GetItemState(one, TVIS_DROPHILITED), static_cast<UINT>(TVIS_DROPHILITED));
  tree.SelectDropTarget(nullptr);
  EXPECT_EQ(tree.GetDropHilightItem(), nullptr);
}

TEST_F(Trees, ARightClickIsToldWithoutMovingTheSelection) {
  HTREEITEM one = tree.InsertItem(u"one");
  HTREEITEM two = tree.InsertItem(u"two");
  tree.SelectItem(one);
  notes.clear();
  CRect text;
  ASSERT_TRUE(tree.GetItemRect(two, &text, TRUE));
  LPARAM at = MAKELPARAM(text.left + 3, text.CenterPoint().y);
  tree.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
  tree.SendMessage(WM_RBUTTONUP, 0, at);
  EXPECT_EQ(tree.GetSelectedItem(), one);
  EXPECT_EQ(Count(TVN_SELCHANGEDW), 0);
  EXPECT_EQ(Count(NM_RCLICK), 1);
}

TEST_F(Trees, HitTestsFindTheItemAndWhereOnItItIs) {
  HTREEITEM first = tree.InsertItem(u"First item");
  tree.InsertItem(u"Second");
  CRect row, text;
  ASSERT_TRUE(tree.GetItemRect(first, &row, FALSE));
  ASSERT_TRUE(tree.GetItemRect(first, &text, TRUE));
  EXPECT_GT(text.Width(), 20);
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(CPoint(text.left + 3, text.CenterPoint().y), &flags), first);
  EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
  EXPECT_EQ(tree.HitTest(CPoint(text.right + 40, text.CenterPoint().y), &flags), first);
  EXPECT_TRUE(flags & TVHT_ONITEMRIGHT);
  EXPECT_EQ(tree.HitTest(CPoint(5, 280), &flags), nullptr);
  EXPECT_TRUE(flags & TVHT_NOWHERE);
  EXPECT_EQ(tree.HitTest(CPoint(5, -5), &flags), nullptr);
  EXPECT_TRUE(flags & TVHT_ABOVE);
}

TEST_F(Trees, ExpandingByTheUserIsReportedBeforeAndAfter) {
  // A folder whose children are filled in when it opens.
  TVINSERTSTRUCTW insert {TVI_ROOT, TVI_LAST, TVITEMW {TVIF_TEXT | TVIF_CHILDREN, nullptr, 0, 0,
                                                        const_cast<LPWSTR>(u"folder"), 0, 0, 0, 1, 0}};
  HTREEITEM folder = tree.InsertItem(&insert);
  EXPECT_TRUE(tree.ItemHasChildren(folder));
  tree.Expand(folder, TVE_EXPAND);
  EXPECT_EQ(Count(TVN_ITEMEXPANDINGW), 0) << "the program's expanding is not reported";
  EXPECT_EQ(tree.GetItemState(folder, TVIS_EXPANDED), static_cast<UINT>(TVIS_EXPANDED));
  tree.Expand(folder, TVE_COLLAPSE);
  tree.SelectItem(folder);
  tree.SetFocus();
  PressKey(Qt::Key_Right);
  EXPECT_EQ(Count(TVN_ITEMEXPANDINGW), 1);
  EXPECT_EQ(Count(TVN_ITEMEXPANDEDW), 1);
}

TEST(ImageLists, StripsAreCutIntoImagesAndMasksMakeThemTransparent) {
  // A 48 x 16 strip: three squares, red, green, blue, each with a magenta corner pixel.
  CImageList list;
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 4));
  CDC screen;
  screen.CreateCompatibleDC(nullptr);
  CBitmap strip;
  strip.CreateBitmap(48, 16, 1, 32, nullptr);
  CBitmap* old = screen.SelectObject(&strip);
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int i = 0; i < 3; ++i) {
    screen.FillSolidRect(i * 16, 0, 16, 16, colours[i]);
    screen.SetPixel(i * 16, 0, RGB(255, 0, 255));
  }
  screen.SelectObject(old);
  EXPECT_EQ(list.Add(&strip, RGB(255, 0, 255)), 0);
  EXPECT_EQ(list.GetImageCount(), 3);

  CBitmap target;
  target.CreateBitmap(20, 20, 1, 32, nullptr);
  old = screen.SelectObject(&target);
  screen.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));
  ASSERT_TRUE(list.Draw(&screen, 1, CPoint(2, 2), ILD_TRANSPARENT));
  EXPECT_EQ(screen.GetPixel(10, 10), RGB(0, 255, 0)) << "image 1 is the green square";
  EXPECT_EQ(screen.GetPixel(2, 2), RGB(255, 255, 255)) << "its magenta corner is transparent";
  EXPECT_EQ(screen.GetPixel(1, 1), RGB(255, 255, 255)) << "nothing outside the image";
  screen.SelectObject(old);
  EXPECT_FALSE(list.Draw(&screen, 3, CPoint(0, 0), ILD_NORMAL)) << "there is no fourth image";
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.GetImageCount(), 2);
  CImageList empty;
  EXPECT_EQ(empty.Add(&strip, RGB(0, 0, 0)), -1) << "a list not made takes nothing";
}

}  // namespace
