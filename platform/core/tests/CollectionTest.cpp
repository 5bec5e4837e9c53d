// The map from texts to pointers and the list of objects: contents, walks with positions, and
// positions that no longer name an entry.

#include "platform/core/CMapStringToPtr.h"
#include "platform/core/CObList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void* Ptr(INT_PTR n) { return reinterpret_cast<void*>(n); }

std::vector<std::pair<CString, void*>> Walk(const CMapStringToPtr& map) {
  std::vector<std::pair<CString, void*>> seen;
  for (POSITION pos = map.GetStartPosition(); pos;) {
    CString key;
    void* value = nullptr;
    map.GetNextAssoc(pos, key, value);
    seen.emplace_back(key, value);
  }
  return seen;
}

}  // namespace

TEST(CMapStringToPtr, KeysAreExactTextsAndValuesAreReplaced) {
  CMapStringToPtr map(10);
  EXPECT_TRUE(map.IsEmpty());
  EXPECT_EQ(map.GetStartPosition(), nullptr);
  map.SetAt(u"Open", Ptr(0));
  map.SetAt(u"open", Ptr(1));
  map[u"Print"] = Ptr(2);
  map.SetAt(u"Open", Ptr(3));
  EXPECT_EQ(map.GetCount(), 3);

  struct Case {
    LPCWSTR key;
    BOOL found;
    void* value;
  };
  const Case cases[] = {
      {u"Open", TRUE, Ptr(3)}, {u"open", TRUE, Ptr(1)}, {u"Print", TRUE, Ptr(2)},
      {u"OPEN", FALSE, Ptr(-5)}, {u"", FALSE, Ptr(-5)},
  };
  for (const Case& c : cases) {
    void* value = Ptr(-5);
    EXPECT_EQ(map.Lookup(c.key, value), c.found) << CString(c.key).ToUtf8();
    EXPECT_EQ(value, c.value) << CString(c.key).ToUtf8();
  }
  // A new key read through [] is added with a null value; an empty key is a key like any other.
  EXPECT_EQ(map[u"Zoom"], nullptr);
  map[u""] = Ptr(9);
  EXPECT_EQ(map.GetCount(), 5);
  void* value = nullptr;
  EXPECT_TRUE(map.Lookup(u"", value));
  EXPECT_EQ(value, Ptr(9));

  EXPECT_TRUE(map.RemoveKey(u"open"));
  EXPECT_FALSE(map.RemoveKey(u"open"));
  EXPECT_FALSE(map.Lookup(u"open", value));
  EXPECT_TRUE(map.Lookup(u"Open", value));
  map.RemoveAll();
  EXPECT_TRUE(map.IsEmpty());
  EXPECT_FALSE(map.Lookup(u"Open", value));
}

TEST(CMapStringToPtr, WalksVisitEveryEntryOnceAndSurviveRemovingTheVisitedOne) {
  CMapStringToPtr map;
  const LPCWSTR keys[] = {u"a", u"b", u"c", u"d"};
  for (INT_PTR i = 0; i < 4; ++i) map.SetAt(keys[i], Ptr(i));
  map.SetAt(u"b", Ptr(7));  // a new value keeps the entry's place
  auto seen = Walk(map);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[1], std::make_pair(CString(u"b"), Ptr(7)));
  EXPECT_EQ(seen[3].first, CString(u"d"));

  // Removing each entry right after visiting it empties the map in one walk.
  int visited = 0;
  for (POSITION pos = map.GetStartPosition(); pos; ++visited) {
    CString key;
    void* value = nullptr;
    map.GetNextAssoc(pos, key, value);
    EXPECT_TRUE(map.RemoveKey(key));
  }
  EXPECT_EQ(visited, 4);
  EXPECT_TRUE(map.IsEmpty());

  // A position of a removed entry names nothing, also once another entry has taken its place.
  map.SetAt(u"x", Ptr(1));
  POSITION stale = map.GetStartPosition();
  map.RemoveKey(u"x");
  map.SetAt(u"y", Ptr(2));
  CString key = u"unchanged";
  void* value = Ptr(1);
  map.GetNextAssoc(stale, key, value);
  EXPECT_EQ(stale, nullptr);
  EXPECT_TRUE(key.IsEmpty());
  EXPECT_EQ(value, nullptr);
}

namespace {

class Counted : public CObject {
public:
  explicit Counted(int& alive) : m_alive(alive) { ++m_alive; }
  ~Counted() override { --m_alive; }

private:
  int& m_alive;
};

std::vector<CObject*> Contents(const CObList& list) {
  std::vector<CObject*> out;
  for (POSITION pos = list.GetHeadPosition(); pos;) out.push_back(list.GetNext(pos));
  return out;
}

}  // namespace

TEST(CObList, KeepsOrderFindsAndRemovesWithoutDeleting) {
  int alive = 0;
  {
    Counted a(alive), b(alive), c(alive);
    CObList list(10);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.AddTail(&b);
    POSITION atC = list.AddTail(&c);
    list.AddHead(&a);
    list.AddTail(&b);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(Contents(list), (std::vector<CObject*> {&a, &b, &c, &b}));
    EXPECT_EQ(list.GetAt(atC), &c);

    POSITION firstB = list.Find(&b);
    ASSERT_NE(firstB, nullptr);
    POSITION secondB = list.Find(&b, firstB);
    ASSERT_NE(secondB, nullptr);
    EXPECT_NE(secondB, firstB);
    EXPECT_EQ(list.Find(&b, secondB), nullptr);
    EXPECT_EQ(list.Find(nullptr), nullptr);

    // Removing the entry a walk has just left does not disturb the walk.
    POSITION pos = list.GetHeadPosition();
    std::vector<CObject*> walked;
    while (pos) {
      POSITION here = pos;
      CObject* object = list.GetNext(pos);
      walked.push_back(object);
      if (object == &b) list.RemoveAt(here);
    }
    EXPECT_EQ(walked, (std::vector<CObject*> {&a, &b, &c, &b}));
    EXPECT_EQ(Contents(list), (std::vector<CObject*> {&a, &c}));
    EXPECT_EQ(alive, 3) << "the list never deletes its objects";

    // Removed entries' positions name nothing, anywhere they are given back.
    EXPECT_EQ(list.GetAt(firstB), nullptr);
    POSITION stale = secondB;
    EXPECT_EQ(list.GetNext(stale), nullptr);
    EXPECT_EQ(stale, nullptr);
    EXPECT_EQ(list.Find(&c, firstB), nullptr);
    list.RemoveAt(firstB);
    EXPECT_EQ(list.GetCount(), 2);

    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(alive, 3);

    // Nor do they once new entries have taken the removed ones' places.
    std::vector<POSITION> removed;
    for (int i = 0; i < 8; ++i) removed.push_back(list.AddTail(&a));
    list.RemoveAll();
    for (int i = 0; i < 8; ++i) list.AddTail(&b);
    for (POSITION pos : removed) EXPECT_EQ(list.GetAt(pos), nullptr);
    list.RemoveAll();
  }
  EXPECT_EQ(alive, 0);
}
