// The command-ID registry: names of command IDs, found both ways.

#include "framework/app/CQVIDRegistry.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Registration {
  UINT id;
  LPCWSTR name;
  BOOL accepted;
  const char* why;
};

class IDRegistry : public ::testing::Test {
protected:
  void SetUp() override {
    const Registration cases[] = {
        {1001, u"FILE_OPEN", TRUE, "a new ID"},
        {0, u"NOTHING", FALSE, "ID 0 is never registered"},
        {1002, nullptr, FALSE, "a null name"},
        {1001, u"FILE_CLOSE", FALSE, "an ID registered already"},
        {1003, u"file_open", TRUE, "IDs may share a name"},
        {1004, u"View_Zoom_In", TRUE, "a name in mixed case"},
        {1005, u"", TRUE, "an empty name is a name"},
    };
    for (const Registration& c : cases)
      EXPECT_EQ(registry.Register(c.id, c.name), c.accepted) << c.why << ": ID " << c.id;
  }

  CQVIDRegistry registry;
};

TEST_F(IDRegistry, NamesAreKeptAsGivenAndTheFirstRegistrationOfAnIDStays) {
  const struct {
    UINT id;
    BOOL found;
    LPCWSTR name;
  } lookups[] = {
      {1001, TRUE, u"FILE_OPEN"},  // the refused second name did not replace the first
      {1003, TRUE, u"file_open"},
      {1004, TRUE, u"View_Zoom_In"},
      {1005, TRUE, u""},
      {1002, FALSE, u""},
      {0, FALSE, u""},
  };
  for (const auto& l : lookups) {
    CString name(u"left over");
    EXPECT_EQ(registry.Find(l.id, name), l.found) << "ID " << l.id;
    EXPECT_EQ(name, CString(l.name)) << "ID " << l.id << ": a miss empties the name";
  }
}

TEST_F(IDRegistry, NamesAreFoundWithoutRegardToCaseFirstRegisteredFirst) {
  const struct {
    LPCWSTR name;
    BOOL found;
    UINT id;
  } lookups[] = {
      {u"file_open", TRUE, 1001},  // two IDs carry the name in different cases: the first wins
      {u"FILE_OPEN", TRUE, 1001},
      {u"view_zoom_in", TRUE, 1004},
      {u"VIEW_ZOOM_IN", TRUE, 1004},
      {u"", TRUE, 1005},
      {u"FILE_CLOSE", FALSE, 0},  // only named by a refused registration
      {u"FILE", FALSE, 0},
      {nullptr, FALSE, 0},
  };
  for (const auto& l : lookups) {
    UINT id = 4711;
    EXPECT_EQ(registry.Find(l.name, id), l.found) << (l.name ? CString(l.name).ToUtf8() : "null");
    EXPECT_EQ(id, l.id) << "a miss gives ID 0";
  }
}

TEST_F(IDRegistry, UnregisteringFreesTheIDAndUncoversTheNextOwnerOfTheName) {
  registry.Unregister(1001);
  CString name;
  EXPECT_FALSE(registry.Find(1001, name));
  UINT id = 0;
  EXPECT_TRUE(registry.Find(u"FILE_OPEN", id));
  EXPECT_EQ(id, 1003u);

  registry.Unregister(1001);  // gone already
  registry.Unregister(0);
  registry.Unregister(9999);
  EXPECT_TRUE(registry.Find(1004, name)) << "unregistering unknown IDs touches nothing else";

  EXPECT_TRUE(registry.Register(1001, u"FILE_CLOSE")) << "a freed ID can be registered again";
  EXPECT_TRUE(registry.Find(1001, name));
  EXPECT_EQ(name, CString(u"FILE_CLOSE"));
}

TEST(IDRegistryNames, TheRegistryKeepsItsOwnCopyOfAName) {
  CQVIDRegistry registry;
  WCHAR buffer[] = u"EDIT_COPY";
  ASSERT_TRUE(registry.Register(77, buffer));
  buffer[0] = u'X';
  CString name;
  ASSERT_TRUE(registry.Find(77, name));
  EXPECT_EQ(name, CString(u"EDIT_COPY"));
  UINT id = 0;
  EXPECT_FALSE(registry.Find(u"XDIT_COPY", id));
}

TEST(IDRegistryNames, TheRegistryIsMadeFromItsRunTimeClass) {
  std::unique_ptr<CObject> made(RUNTIME_CLASS(CQVIDRegistry)->CreateObject());
  ASSERT_TRUE(made && made->IsKindOf(RUNTIME_CLASS(CQVIDRegistry)));
  auto* registry = static_cast<CQVIDRegistry*>(made.get());
  EXPECT_TRUE(registry->Register(5, u"HELP_ABOUT"));
  UINT id = 0;
  EXPECT_TRUE(registry->Find(u"help_about", id));
  EXPECT_EQ(id, 5u);
}

}  // namespace
