#include "foundation/util/DPXFolderTree.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

namespace {

void Link(const TestFolder& folder, const std::string& target, const std::string& link) {
  ASSERT_EQ(::symlink(target.c_str(), folder.Native(link).c_str()), 0) << link;
}

// tree/: a.txt, sub/b.txt, sub/deeper/c.txt, sub2/a.txt, and links that lead out of the tree
// (to outside/, which holds a file that must never be touched) and back into it.
void MakeTree(const TestFolder& folder) {
  folder.MakeFolder("tree/sub/deeper");
  folder.MakeFolder("tree/sub2");
  folder.MakeFolder("outside");
  folder.Write("tree/a.txt", "a");
  folder.Write("tree/sub/b.txt", "b");
  folder.Write("tree/sub/deeper/c.txt", "c");
  folder.Write("tree/sub2/a.txt", "a2");
  folder.Write("outside/keep.txt", "keep");
  folder.Write("outside/target.txt", "outside");
  Link(folder, folder.Native("outside"), "tree/sub/out");
  Link(folder, folder.Native("outside/keep.txt"), "tree/keep-link.txt");
  Link(folder, folder.Native("tree"), "tree/sub2/loop");
}

}  // namespace

TEST(DPXFolderTree, TellsFilesFromFolders) {
  TestFolder folder;
  MakeTree(folder);
  struct Case {
    const char* path;
    BOOL file;
    BOOL folderFound;
  };
  const Case cases[] = {
      {"tree/a.txt", TRUE, FALSE},  {"tree/A.TXT", TRUE, FALSE}, {"tree/sub", FALSE, TRUE}, {"tree/*.txt", TRUE, FALSE},
      {"tree/sub/*", TRUE, TRUE},   {"tree/nothing", FALSE, FALSE}, {"tree/sub2/*.txt", TRUE, FALSE},
      {"tree/sub/deeper/*.none", FALSE, FALSE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DPXFileExists(folder.Wide(c.path)), c.file) << c.path;
    EXPECT_EQ(DPXFolderExists(folder.Wide(c.path)), c.folderFound) << c.path;
  }
  EXPECT_FALSE(DPXFileExists(nullptr));
  EXPECT_FALSE(DPXFolderExists(nullptr));
}

TEST(DPXFolderTree, FindsAFileNearestFirstWithoutFollowingLinks) {
  TestFolder folder;
  MakeTree(folder);
  struct Case {
    const char* name;
    BOOL found;
    const char* path;
  };
  const Case cases[] = {
      {"a.txt", TRUE, "tree/a.txt"},  // the folder's own file wins over sub2/a.txt
      {"C.TXT", TRUE, "tree/sub/deeper/c.txt"},
      {"b.txt", TRUE, "tree/sub/b.txt"},
      {"target.txt", FALSE, ""},  // only reachable through the link out of the tree
      {"keep-link.txt", TRUE, "tree/keep-link.txt"},
      {"missing.txt", FALSE, ""},
  };
  for (const Case& c : cases) {
    CString out = u"stale";
    EXPECT_EQ(DPXFindFileInTree(folder.Wide("tree"), CString::FromUtf8(c.name), out), c.found) << c.name;
    EXPECT_EQ(out, c.found ? folder.Wide(c.path) : CString()) << c.name;
  }
  CString out = u"stale";
  EXPECT_FALSE(DPXFindFileInTree(u"  ", u"a.txt", out));
  EXPECT_TRUE(out.IsEmpty());
}

TEST(DPXFolderTree, DeletesATreeButNothingALinkLeadsTo) {
  TestFolder folder;
  MakeTree(folder);
  DPXDeleteFolderTree(folder.Wide("tree/"));
  EXPECT_FALSE(folder.Exists("tree"));
  EXPECT_EQ(folder.Names("outside"), (std::set<std::string>{"keep.txt", "target.txt"}));

  // A folder that is itself a link loses the link, not what it leads to.
  Link(folder, folder.Native("outside"), "link");
  DPXDeleteFolderTree(folder.Wide("link"));
  EXPECT_FALSE(folder.Exists("link"));
  EXPECT_EQ(folder.Names("outside"), (std::set<std::string>{"keep.txt", "target.txt"}));

  DPXDeleteFolderTree(nullptr);
  DPXDeleteFolderTree(u"   ");
  DPXDeleteFolderTree(folder.Wide("missing"));
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"outside"}));
}

TEST(DPXFolderTree, CopiesATreeIntoAnotherFolder) {
  TestFolder folder;
  MakeTree(folder);
  folder.MakeFolder("copy");
  folder.Write("copy/a.txt", "to be overwritten");
  folder.Write("copy/extra.txt", "stays");
  ASSERT_TRUE(DPXCopyFolderTree(folder.Wide("tree"), folder.Wide("copy/")));
  EXPECT_EQ(folder.Names("copy"), (std::set<std::string>{"a.txt", "extra.txt", "sub", "sub2"})) << "links are not copied";
  EXPECT_EQ(folder.Read("copy/a.txt"), "a");
  EXPECT_EQ(folder.Read("copy/extra.txt"), "stays");
  EXPECT_EQ(folder.Read("copy/sub/deeper/c.txt"), "c");
  EXPECT_EQ(folder.Names("copy/sub"), (std::set<std::string>{"b.txt", "deeper"}));
  EXPECT_EQ(folder.Names("copy/sub2"), (std::set<std::string>{"a.txt"}));
}

TEST(DPXFolderTree, CopiesOnlyBetweenDifferentFolders) {
  struct Case {
    const char* what;
    const char* source;
    const char* target;
    BOOL result;
    const char* copied;  // a file that must exist afterwards, or null for no copy at all
  };
  const Case cases[] = {
      {"the same folder", "a", "a/", TRUE, nullptr},
      {"the same folder through ..", "a", "a/sub/..", TRUE, nullptr},
      {"the same folder through a link", "a", "alias", TRUE, nullptr},
      {"the same folder through a parent", "a", "B/../a", TRUE, nullptr},
      {"into itself", "a", "a/b", FALSE, nullptr},
      {"into itself through a link", "a", "alias/new", FALSE, nullptr},
      {"a name that starts like the source", "a", "ab", TRUE, "ab/f.txt"},
      {"a folder whose name differs only in case", "a", "A", TRUE, "A/f.txt"},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    folder.MakeFolder("a/sub");
    folder.MakeFolder("A");
    folder.MakeFolder("B");
    folder.Write("a/f.txt", "f");
    Link(folder, folder.Native("a"), "alias");
    EXPECT_EQ(DPXCopyFolderTree(folder.Wide(c.source), folder.Wide(c.target)), c.result) << c.what;
    if (c.copied) {
      EXPECT_EQ(folder.Read(c.copied), "f") << c.what;
    } else {
      EXPECT_EQ(folder.Names("a"), (std::set<std::string>{"f.txt", "sub"})) << c.what;
    }
  }
  TestFolder folder;
  EXPECT_TRUE(DPXCopyFolderTree(folder.Wide("gone"), folder.Wide("gone/")));
  EXPECT_FALSE(folder.Exists("gone")) << "a missing folder copied onto itself is not made";
  EXPECT_FALSE(DPXCopyFolderTree(nullptr, u"/tmp"));
  EXPECT_FALSE(DPXCopyFolderTree(u"/tmp", u" "));
}

TEST(DPXFolderTree, CopyStopsAtTheFirstFailure) {
  TestFolder folder;
  folder.MakeFolder("src");
  folder.Write("src/a.txt", "a");
  folder.Write("src/b.txt", std::string(4096, 'b'));
  folder.Write("dst", "a file where the target folder should be");
  EXPECT_FALSE(DPXCopyFolderTree(folder.Wide("src"), folder.Wide("dst")));
  EXPECT_EQ(folder.Read("dst"), "a file where the target folder should be");
}
