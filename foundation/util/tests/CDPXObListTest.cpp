#include "foundation/util/CDPXObArray.h"
#include "foundation/util/CDPXObList.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <deque>
#include <vector>

// An entry that counts its live instances, so that tests see which objects a container deleted.
class CTestItem : public CObject {
  DECLARE_DYNCREATE(CTestItem)
public:
  CTestItem() { ++s_live; }
  explicit CTestItem(int value, char tag = ' ') : m_value(value), m_tag(tag) { ++s_live; }
  ~CTestItem() override { --s_live; }
  static int s_live;
  int m_value { 0 };
  char m_tag { ' ' };
};
int CTestItem::s_live = 0;
IMPLEMENT_DYNCREATE(CTestItem, CObject)

// A class without a factory: the list cannot create it.
class CNotCreatable : public CObject {
  DECLARE_DYNAMIC(CNotCreatable)
};
IMPLEMENT_DYNAMIC(CNotCreatable, CObject)

namespace {

// Orders by value; counts its calls.
class CValueList : public CDPXObList {
public:
  int Compare(CObject* a, CObject* b) override {
    ++m_calls;
    return static_cast<CTestItem*>(a)->m_value - static_cast<CTestItem*>(b)->m_value;
  }
  int m_calls { 0 };
};

CTestItem* Item(CObject* object) { return static_cast<CTestItem*>(object); }

// The list's entries as "value" or "value+tag", head to tail, separated by blanks.
std::string Contents(const CDPXObList& list) {
  std::string out;
  for (POSITION pos = list.GetHeadPosition(); pos;) {
    const CTestItem* item = Item(list.GetNext(pos));
    if (!out.empty()) out += ' ';
    out += std::to_string(item->m_value);
    if (item->m_tag != ' ') out += item->m_tag;
  }
  return out;
}

// The list's entries tail to head, so that the back links are checked too.
std::string ContentsBackwards(const CDPXObList& list) {
  std::string out;
  for (POSITION pos = list.GetTailPosition(); pos;) {
    const CTestItem* item = Item(list.GetPrev(pos));
    out = std::to_string(item->m_value) + (out.empty() ? "" : " ") + out;
  }
  return out;
}

// Owned entries 1..n made by the list, each with its value.
void FillNew(CDPXObList& list, int n) {
  for (int i = 1; i <= n; ++i) Item(list.AddNewTail(RUNTIME_CLASS(CTestItem)))->m_value = i;
}

class ObListTest : public ::testing::Test {
protected:
  void SetUp() override { CTestItem::s_live = 0; }
  void TearDown() override { EXPECT_EQ(CTestItem::s_live, 0) << "objects leaked or deleted twice"; }
};

}  // namespace

TEST_F(ObListTest, OwnedEntriesAreDeletedBorrowedOnesAreNot) {
  CTestItem borrowed1(1), borrowed2(2);
  {
    CDPXObList list;
    list.AddTail(&borrowed1);
    Item(list.AddNewTail(RUNTIME_CLASS(CTestItem)))->m_value = 10;
    list.AddTail(&borrowed2);
    Item(list.AddNewHead(RUNTIME_CLASS(CTestItem)))->m_value = 20;
    EXPECT_EQ(Contents(list), "20 1 10 2");
    EXPECT_EQ(CTestItem::s_live, 4);

    list.RemoveAt(list.FindIndex(1));  // borrowed: only the node goes
    EXPECT_EQ(CTestItem::s_live, 4);
    list.RemoveIndex(1);  // owned: the object goes with it
    EXPECT_EQ(CTestItem::s_live, 3);
    EXPECT_EQ(Contents(list), "20 2");

    // Ownership switched by hand: the borrowed entry becomes owned, the made one is handed out.
    auto* handedOut = Item(list.SetOwnership(list.GetHeadPosition(), FALSE));
    ASSERT_NE(handedOut, nullptr);
    auto* adopted = new CTestItem(30);
    list.SetOwnership(list.AddTail(adopted), TRUE);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(CTestItem::s_live, 3) << "the adopted object is deleted, the handed-out one is not";
    delete handedOut;

    FillNew(list, 3);  // the destructor deletes these
  }
  EXPECT_EQ(CTestItem::s_live, 2);
}

TEST_F(ObListTest, ForeignAndStalePositionsActAsNull) {
  CDPXObList list, other;
  FillNew(list, 3);
  FillNew(other, 1);
  POSITION stale = nullptr;
  ASSERT_NE(list.AddNewTail(RUNTIME_CLASS(CTestItem), stale), nullptr);
  list.RemoveAt(stale);
  const POSITION foreign = other.GetHeadPosition();

  for (POSITION bad : {foreign, stale}) {
    SCOPED_TRACE(bad == foreign ? "position of another list" : "position of a removed node");
    POSITION pos = bad;
    EXPECT_EQ(list.GetNext(pos), nullptr);
    EXPECT_EQ(pos, bad) << "GetNext moved a position it does not know";
    EXPECT_EQ(list.GetPrev(pos), nullptr);
    EXPECT_EQ(pos, bad);
    EXPECT_EQ(list.GetAt(bad), nullptr);
    EXPECT_EQ(list.GetIndexOf(bad), -1);
    EXPECT_EQ(list.SetOwnership(bad, FALSE), nullptr);
    list.RemoveAt(bad);
    EXPECT_EQ(Contents(list), "1 2 3");
    EXPECT_EQ(other.GetCount(), 1);
  }
  // As insertion places they mean the head (before) and the tail (after).
  list.InsertNewBefore(foreign, RUNTIME_CLASS(CTestItem));
  list.InsertNewAfter(foreign, RUNTIME_CLASS(CTestItem));
  EXPECT_EQ(Contents(list), "0 1 2 3 0");
}

TEST_F(ObListTest, PlacesEntriesInAnUnsortedList) {
  struct Case {
    const char* what;
    void (*act)(CDPXObList& list, CTestItem& x);
    const char* expected;
  };
  // Each case starts from the owned entries 1 2 3 and places x (value 9) or a new entry (value 0).
  const Case cases[] = {
      {"InsertBefore(null)", [](CDPXObList& l, CTestItem& x) { l.InsertBefore(nullptr, &x); }, "9 1 2 3"},
      {"InsertAfter(null)", [](CDPXObList& l, CTestItem& x) { l.InsertAfter(nullptr, &x); }, "1 2 3 9"},
      {"InsertBefore(2)", [](CDPXObList& l, CTestItem& x) { l.InsertBefore(l.FindIndex(1), &x); }, "1 9 2 3"},
      {"InsertAfter(2)", [](CDPXObList& l, CTestItem& x) { l.InsertAfter(l.FindIndex(1), &x); }, "1 2 9 3"},
      {"InsertAfter(tail)", [](CDPXObList& l, CTestItem& x) { l.InsertAfter(l.GetTailPosition(), &x); }, "1 2 3 9"},
      {"AddHead", [](CDPXObList& l, CTestItem& x) { l.AddHead(&x); }, "9 1 2 3"},
      {"InsertNewBefore(head)", [](CDPXObList& l, CTestItem&) { l.InsertNewBefore(l.GetHeadPosition(), RUNTIME_CLASS(CTestItem)); }, "0 1 2 3"},
      {"InsertNewAfter(1)", [](CDPXObList& l, CTestItem&) { l.InsertNewAfter(l.GetHeadPosition(), RUNTIME_CLASS(CTestItem)); }, "1 0 2 3"},
  };
  for (const Case& c : cases) {
    CDPXObList list;
    FillNew(list, 3);
    CTestItem x(9);
    c.act(list, x);
    EXPECT_EQ(Contents(list), c.expected) << c.what;
    EXPECT_EQ(ContentsBackwards(list), c.expected) << c.what << " (back links)";
    EXPECT_EQ(list.GetCount(), 4) << c.what;
  }
}

TEST_F(ObListTest, InsertsNewEntriesByIndex) {
  struct Case {
    bool after;
    int n;
    int expectedIndex;
    const char* expected;
  };
  const Case cases[] = {
      {false, -1, 0, "0 1 2 3"}, {false, 0, 0, "0 1 2 3"}, {false, 2, 2, "1 2 0 3"},
      {false, 3, 3, "1 2 3 0"},  {false, 99, 3, "1 2 3 0"}, {true, -1, 0, "0 1 2 3"},
      {true, 0, 1, "1 0 2 3"},   {true, 2, 3, "1 2 3 0"},  {true, 99, 3, "1 2 3 0"},
  };
  for (const Case& c : cases) {
    CDPXObList list;
    FillNew(list, 3);
    int index = -5;
    CObject* made = c.after ? list.InsertNewAfter(c.n, RUNTIME_CLASS(CTestItem), index)
                            : list.InsertNewAt(c.n, RUNTIME_CLASS(CTestItem), index);
    const std::string what = std::string(c.after ? "InsertNewAfter(" : "InsertNewAt(") + std::to_string(c.n) + ")";
    ASSERT_NE(made, nullptr) << what;
    EXPECT_EQ(index, c.expectedIndex) << what;
    EXPECT_EQ(list.GetAtIndex(index), made) << what;
    EXPECT_EQ(Contents(list), c.expected) << what;
  }
}

TEST_F(ObListTest, IndexesOutsideTheListFindNothing) {
  CDPXObList list;
  FillNew(list, 3);
  for (int index : {-1, 3, 1000}) {
    EXPECT_EQ(list.FindIndex(index), nullptr) << index;
    EXPECT_EQ(list.GetAtIndex(index), nullptr) << index;
    list.RemoveIndex(index);
  }
  EXPECT_EQ(Contents(list), "1 2 3");
  EXPECT_EQ(list.GetIndexOf(list.GetTailPosition()), 2);
  EXPECT_EQ(Item(list.GetHead())->m_value, 1);
}

TEST_F(ObListTest, NewOperationsFailCleanlyForClassesThatCannotBeMade) {
  CDPXObList list;
  FillNew(list, 1);
  POSITION pos = list.GetHeadPosition();
  int index = 7;
  EXPECT_EQ(list.AddNewTail(RUNTIME_CLASS(CNotCreatable)), nullptr);
  EXPECT_EQ(list.AddNewTail(nullptr, index), nullptr);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(list.AddNewTail(RUNTIME_CLASS(CNotCreatable), pos), nullptr);
  EXPECT_EQ(pos, nullptr);
  EXPECT_EQ(list.InsertNewAt(0, RUNTIME_CLASS(CNotCreatable), index), nullptr);
  EXPECT_EQ(list.AddNewHead(RUNTIME_CLASS(CNotCreatable)), nullptr);
  EXPECT_EQ(list.GetCount(), 1);
}

TEST_F(ObListTest, SortedListsPlaceEveryInsertion) {
  struct Case {
    int order;
    std::vector<int> values;
    const char* expected;
  };
  const Case cases[] = {
      {1, {5, 1, 4, 2, 3}, "1 2 3 4 5"},
      {-1, {5, 1, 4, 2, 3}, "5 4 3 2 1"},
      {1, {2, 2, 1, 3, 1}, "1 1 2 2 3"},
      {0, {2, 3, 1}, "3 1 2"},
      {7, {2, 3, 1}, "3 1 2"},  // not an order: unsorted
  };
  for (const Case& c : cases) {
    CValueList list;
    list.SetSortOrder(c.order, FALSE);
    std::deque<CTestItem> items;
    for (size_t i = 0; i < c.values.size(); ++i) {
      items.emplace_back(c.values[i]);
      // Where the caller asks for the entry must not matter in a sorted list.
      if (i % 2) list.AddHead(&items.back());
      else list.InsertAfter(list.GetHeadPosition(), &items.back());
    }
    EXPECT_EQ(Contents(list), c.expected) << "order " << c.order;
    EXPECT_EQ(ContentsBackwards(list), c.expected) << "order " << c.order;
  }
}

TEST_F(ObListTest, EqualEntriesPutTheLatestFirst) {
  CValueList list;
  list.SetSortOrder(1, FALSE);
  CTestItem a(1, 'a'), b(2, 'b'), c(1, 'c'), d(2, 'd');
  for (CTestItem* item : {&a, &b, &c, &d}) list.AddTail(item);
  EXPECT_EQ(Contents(list), "1c 1a 2d 2b");

  // The base comparison makes every pair equal: each new entry goes to the head.
  CDPXObList plain;
  plain.SetSortOrder(1, FALSE);
  for (CTestItem* item : {&a, &b, &c, &d}) plain.AddTail(item);
  EXPECT_EQ(Contents(plain), "2d 1c 2b 1a");

  // Sort places the nodes in their present order the same way.
  CValueList unsorted;
  for (CTestItem* item : {&a, &b, &c, &d}) unsorted.AddTail(item);
  unsorted.Sort(-1, FALSE);
  EXPECT_EQ(Contents(unsorted), "2d 2b 1c 1a");
}

TEST_F(ObListTest, SortKeepsTheOrderOnlyWhenAsked) {
  CTestItem i1(1), i2(2), i3(3), i0(0);
  CValueList list;
  for (CTestItem* item : {&i3, &i1, &i2}) list.AddTail(item);
  list.Sort(1, FALSE);
  EXPECT_EQ(Contents(list), "1 2 3");
  list.AddTail(&i0);
  EXPECT_EQ(Contents(list), "1 2 3 0") << "a sort without store must not keep the order";
  list.RemoveAt(list.GetTailPosition());

  list.Sort(-1, TRUE);
  list.AddTail(&i0);
  EXPECT_EQ(Contents(list), "3 2 1 0");
  list.RemoveAt(list.GetTailPosition());

  list.SetSortOrder(1, TRUE);
  EXPECT_EQ(Contents(list), "1 2 3");
  list.Sort(0, TRUE);  // switches sorting off and leaves the order as it is
  list.AddHead(&i0);
  EXPECT_EQ(Contents(list), "0 1 2 3");
}

TEST_F(ObListTest, FindWalksOnFromItsStart) {
  CValueList list;
  std::deque<CTestItem> items;
  for (int value : {4, 7, 4, 5, 4}) {
    items.emplace_back(value);
    list.AddTail(&items.back());
  }
  CTestItem key(4);
  POSITION start = nullptr;
  EXPECT_EQ(list.GetIndexOf(list.Find(&key, start)), 0);
  EXPECT_EQ(list.GetIndexOf(start), 1);
  EXPECT_EQ(list.GetIndexOf(list.Find(&key, start)), 2);
  EXPECT_EQ(list.GetIndexOf(start), 3);
  EXPECT_EQ(list.GetIndexOf(list.Find(&key, start)), 4);
  EXPECT_EQ(start, nullptr) << "start moves past the last match, which is the tail";

  CTestItem missing(6);
  start = list.FindIndex(1);
  EXPECT_EQ(list.Find(&missing, start), nullptr);
  EXPECT_EQ(list.GetIndexOf(list.Find(&key)), 0);
}

TEST_F(ObListTest, WalkingALongListStaysLinear) {
  // Checking each position must not walk the list: 100000 entries would take minutes.
  CDPXObList list;
  std::deque<CTestItem> items(100000);
  for (CTestItem& item : items) list.AddTail(&item);
  const auto started = std::chrono::steady_clock::now();
  long count = 0;
  for (POSITION pos = list.GetHeadPosition(); pos;) count += list.GetNext(pos) ? 1 : 0;
  for (POSITION pos = list.GetTailPosition(); pos;) {
    const POSITION here = pos;
    list.GetPrev(pos);
    list.RemoveAt(here);
  }
  EXPECT_EQ(count, 100000);
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

// ---- the array ---------------------------------------------------------------------------------

TEST_F(ObListTest, ArraySetAtNewGrowsOnlyWhenAsked) {
  struct Case {
    int index;
    BOOL grow;
    bool ok;
    int countAfter;
  };
  // Each case starts from an array of two owned objects.
  const Case cases[] = {
      {0, FALSE, true, 2},  {1, FALSE, true, 2}, {2, FALSE, false, 2}, {2, TRUE, true, 3},
      {12, TRUE, true, 13}, {-1, TRUE, false, 2},
  };
  for (const Case& c : cases) {
    CDPXObArray array;
    CObject* created = nullptr;
    ASSERT_EQ(array.AddNew(RUNTIME_CLASS(CTestItem), created), 0);
    ASSERT_EQ(array.AddNew(RUNTIME_CLASS(CTestItem), created), 1);
    const int liveBefore = CTestItem::s_live;
    created = reinterpret_cast<CObject*>(&array);  // must be overwritten
    const BOOL ok = array.SetAtNew(c.index, RUNTIME_CLASS(CTestItem), created, c.grow);
    const std::string what = "index " + std::to_string(c.index) + (c.grow ? " grow" : "");
    EXPECT_EQ(ok != FALSE, c.ok) << what;
    EXPECT_EQ(array.GetCount(), c.countAfter) << what;
    if (c.ok) {
      EXPECT_EQ(array.GetAt(c.index), created) << what;
      // Replacing an owned object deletes it; a new slot adds one.
      EXPECT_EQ(CTestItem::s_live, liveBefore + (c.index >= 2 ? 1 : 0)) << what;
      for (int i = 2; i < c.index; ++i) EXPECT_EQ(array.GetAt(i), nullptr) << what << ", slot " << i;
    } else {
      EXPECT_EQ(created, nullptr) << what;
      EXPECT_EQ(CTestItem::s_live, liveBefore) << what;
    }
  }
  CDPXObArray array;
  CObject* created = nullptr;
  EXPECT_EQ(array.AddNew(RUNTIME_CLASS(CNotCreatable), created), -1);
  EXPECT_EQ(array.GetCount(), 0);
}

TEST_F(ObListTest, ArrayOpensAndClosesSlots) {
  struct Case {
    const char* what;
    BOOL (*act)(CDPXObArray& a);
    bool ok;
    const char* expected;  // values by slot, '-' for an empty one
  };
  // Each case starts from owned objects 1 2 3.
  const Case cases[] = {
      {"InsertEmptyAt(0, 2)", [](CDPXObArray& a) { return a.InsertEmptyAt(0, 2); }, true, "- - 1 2 3"},
      {"InsertEmptyAt(2, 1)", [](CDPXObArray& a) { return a.InsertEmptyAt(2, 1); }, true, "1 2 - 3"},
      {"InsertEmptyAt(count, 1)", [](CDPXObArray& a) { return a.InsertEmptyAt(3, 1); }, false, "1 2 3"},
      {"InsertEmptyAt(0, 0)", [](CDPXObArray& a) { return a.InsertEmptyAt(0, 0); }, false, "1 2 3"},
      {"InsertEmptyAt(-1, 1)", [](CDPXObArray& a) { return a.InsertEmptyAt(-1, 1); }, false, "1 2 3"},
      {"InsertEmptyAt(1, 20)", [](CDPXObArray& a) { return a.InsertEmptyAt(1, 20); }, true,
       "1 - - - - - - - - - - - - - - - - - - - - 2 3"},
      {"RemoveAt(0, 1)", [](CDPXObArray& a) { return a.RemoveAt(0, 1); }, true, "2 3"},
      {"RemoveAt(1, 2)", [](CDPXObArray& a) { return a.RemoveAt(1, 2); }, true, "1"},
      {"RemoveAt(0, 3)", [](CDPXObArray& a) { return a.RemoveAt(0, 3); }, true, ""},
      {"RemoveAt(2, 2) runs past the end", [](CDPXObArray& a) { return a.RemoveAt(2, 2); }, false, "1 2 3"},
      {"RemoveAt(3, 1)", [](CDPXObArray& a) { return a.RemoveAt(3, 1); }, false, "1 2 3"},
      {"RemoveAt(0, 0)", [](CDPXObArray& a) { return a.RemoveAt(0, 0); }, false, "1 2 3"},
      {"SetSize(1)", [](CDPXObArray& a) { return a.SetSize(1); }, true, "1"},
      {"SetSize(-4)", [](CDPXObArray& a) { return a.SetSize(-4); }, true, ""},
      {"SetSize(11)", [](CDPXObArray& a) { return a.SetSize(11); }, true, "1 2 3 - - - - - - - -"},
  };
  for (const Case& c : cases) {
    {
      CDPXObArray array;
      for (int i = 1; i <= 3; ++i) {
        CObject* created = nullptr;
        array.AddNew(RUNTIME_CLASS(CTestItem), created);
        Item(created)->m_value = i;
      }
      EXPECT_EQ(c.act(array) != FALSE, c.ok) << c.what;
      std::string slots;
      int owned = 0;
      for (int i = 0; i < array.GetCount(); ++i) {
        const CObject* object = array.GetAt(i);
        slots += (i ? " " : "") + (object ? std::to_string(Item(const_cast<CObject*>(object))->m_value) : "-");
        owned += object ? 1 : 0;
      }
      EXPECT_EQ(slots, c.expected) << c.what;
      EXPECT_EQ(CTestItem::s_live, owned) << c.what << ": closed or cleared slots must delete their objects";
      EXPECT_EQ(array.GetAt(array.GetCount()), nullptr) << c.what;
    }
    EXPECT_EQ(CTestItem::s_live, 0) << c.what;
  }
}

TEST_F(ObListTest, ArrayShrunkAndGrownAgainShowsEmptySlots) {
  CDPXObArray array;
  CObject* created = nullptr;
  for (int i = 0; i < 5; ++i) array.AddNew(RUNTIME_CLASS(CTestItem), created);
  ASSERT_TRUE(array.SetSize(2));
  EXPECT_EQ(CTestItem::s_live, 2);
  ASSERT_TRUE(array.SetSize(5));
  for (int i = 2; i < 5; ++i) EXPECT_EQ(array.GetAt(i), nullptr) << "slot " << i;
  ASSERT_TRUE(array.SetSize(0));
  EXPECT_EQ(array.GetCount(), 0);
  EXPECT_EQ(CTestItem::s_live, 0);
}
