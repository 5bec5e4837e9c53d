#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/tests/TextBytes.h"
#include "platform/core/tests/GermanLocale.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const std::string kMark = "\xEF\xBB\xBF";

std::string Join(const std::vector<std::string>& lines, const std::string& ending) {
  std::string out;
  for (const std::string& line : lines) out += line + ending;
  return out;
}

// What a save writes: the mark, then every line with CR LF.
std::string Saved(const std::vector<std::string>& lines) { return kMark + Join(lines, "\r\n"); }

// A profile as another editor leaves it: comments, free text, repeated keys and sections, keys
// before the first header, odd spacing, and lines this format does not know.
const std::vector<std::string> kEditorLines = {
    "",
    "; Settings written by hand",
    "TopKey=before any header",
    "[General]",
    "Name=J\xC3\xBCrgen",
    "  Count = 42  ",
    "Count = 7",
    "Flag=yes",
    "\"quoted\" = free text",
    "free text line",
    "[ Spaced ]  ; a comment after the header",
    "Hidden = 1",
    "",
    "[general]",
    "Later = 3",
    "[Broken",
    "=starts with an equals sign",
    "a = b = c",
    "",
    "",
};

// The same file after loading and saving: blank lines at both ends dropped, the others kept,
// key lines written as "key = value", the unclosed header written as an empty line.
const std::vector<std::string> kSavedLines = {
    "; Settings written by hand",
    "TopKey = before any header",
    "[General]",
    "Name = J\xC3\xBCrgen",
    "Count = 42",
    "Count = 7",
    "Flag = yes",
    "\"quoted\" = free text",
    "free text line",
    "[ Spaced ]",
    "Hidden = 1",
    "",
    "[general]",
    "Later = 3",
    "",
    "=starts with an equals sign",
    "a = b = c",
};

}  // namespace

TEST(CDPXScriptFile, LoadsFilesOfOtherEditorsAndSavesThemBackLineForLine) {
  std::string ansi = Join(kEditorLines, "\r\n");
  ansi.replace(ansi.find("\xC3\xBC"), 2, "\xFC");
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"UTF-8 with mark, CR LF", kMark + Join(kEditorLines, "\r\n")},
      {"UTF-8 without mark, LF", Join(kEditorLines, "\n")},
      {"UTF-8 without mark, no final line end", Join(kEditorLines, "\n").substr(0, Join(kEditorLines, "\n").size() - 1)},
      {"UTF-16LE, CR LF", "\xFF\xFE" + Utf16(Join(kEditorLines, "\r\n"), false)},
      {"UTF-16BE, LF", "\xFE\xFF" + Utf16(Join(kEditorLines, "\n"), true)},
      {"Windows-1252, CR LF", ansi},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    folder.Write("p.ini", c.bytes);
    CDPXScriptFile file;
    ASSERT_TRUE(file.Open(folder.Wide("p.ini"))) << c.what;
    CString value;
    EXPECT_TRUE(file.GetString(u"name", value, FALSE, u"GENERAL")) << c.what;
    EXPECT_EQ(value, u"J\u00fcrgen") << c.what;
    ASSERT_TRUE(file.Save()) << c.what;
    EXPECT_EQ(folder.Read("p.ini"), Saved(kSavedLines)) << c.what;
  }
}

TEST(CDPXScriptFile, ReadsTypedValues) {
  TestFolder folder;
  folder.Write("p.ini", Join({"top = 5", "[S]", "text = hello world", "n = 42", "neg = -17", "lead =   +8 apples",
                              "letters = abc", "big = 99999999999", "min = -2147483648", "t1 = TRUE", "t2 = yes",
                              "t3 = t", "t4 = Y", "t5 = 1", "t6 = -1", "f1 = false", "f2 = NO", "f3 = f",
                              "f4 = n", "f5 = 2", "f6 = 0", "f7 = maybe", "empty =", "dup = first", "dup = second",
                              "[ Padded ]", "p = 1", "[s]", "late = 9"},
                             "\r\n"));
  CDPXScriptFile file;
  ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
  file.SetCurrentSection(u"  s  ");
  EXPECT_EQ(file.GetCurrentSection(), u"s");

  struct StringCase {
    const char16_t* section;  // null: the current section
    const char16_t* key;
    BOOL found;
    const char* value;
  };
  const StringCase strings[] = {
      {nullptr, u"text", TRUE, "hello world"}, {nullptr, u" TEXT ", TRUE, "hello world"},
      {u"", u"top", TRUE, "5"},                {nullptr, u"dup", TRUE, "first"},
      {nullptr, u"late", TRUE, "9"},           {nullptr, u"empty", TRUE, ""},
      {nullptr, u"missing", FALSE, ""},        {u"Padded", u"p", FALSE, ""},
      {u" Padded ", u"p", FALSE, ""},          {u"nosuch", u"text", FALSE, ""},
  };
  for (const StringCase& c : strings) {
    CString value = u"stale";
    EXPECT_EQ(file.GetString(c.key, value, c.section == nullptr, c.section), c.found) << CString(c.key);
    EXPECT_EQ(value.ToUtf8(), c.value) << CString(c.key);
  }
  CString untouched = u"kept";
  EXPECT_FALSE(file.GetString(u"   ", untouched));
  EXPECT_EQ(untouched, u"kept") << "a blank key leaves the value alone";

  GermanLocale german;
  EXPECT_TRUE(german.Active()) << "scripts/install-deps.sh generates de_DE.UTF-8";
  struct IntCase {
    const char16_t* key;
    BOOL found;
    int value;
    int unsignedValue;
  };
  const IntCase ints[] = {
      {u"n", TRUE, 42, 42},      {u"neg", TRUE, -17, 0},   {u"lead", TRUE, 8, 8},
      {u"letters", FALSE, 0, 0}, {u"big", FALSE, 0, 0},    {u"min", TRUE, -2147483647 - 1, 0},
      {u"empty", FALSE, 0, 0},   {u"missing", FALSE, 0, 0},
  };
  for (const IntCase& c : ints) {
    int value = 12345;
    EXPECT_EQ(file.GetInt(c.key, value), c.found) << CString(c.key);
    EXPECT_EQ(value, c.value) << CString(c.key);
    value = 12345;
    EXPECT_EQ(file.GetUInt(c.key, value), c.found) << CString(c.key);
    EXPECT_EQ(value, c.unsignedValue) << CString(c.key);
  }

  struct BoolCase {
    const char16_t* key;
    BOOL found;
    BOOL value;
  };
  const BoolCase bools[] = {
      {u"t1", TRUE, TRUE},  {u"t2", TRUE, TRUE},  {u"t3", TRUE, TRUE},  {u"t4", TRUE, TRUE},  {u"t5", TRUE, TRUE},
      {u"t6", TRUE, TRUE},  {u"f1", TRUE, FALSE}, {u"f2", TRUE, FALSE}, {u"f3", TRUE, FALSE}, {u"f4", TRUE, FALSE},
      {u"f5", TRUE, FALSE}, {u"f6", TRUE, FALSE}, {u"f7", TRUE, FALSE}, {u"empty", TRUE, FALSE},
      {u"missing", FALSE, FALSE},
  };
  for (const BoolCase& c : bools) {
    BOOL value = 77;
    EXPECT_EQ(file.GetBool(c.key, value), c.found) << CString(c.key);
    EXPECT_EQ(value, c.value) << CString(c.key);
  }
}

TEST(CDPXScriptFile, EditsLinesInPlaceAndSavesEachEdit) {
  const std::vector<std::string> start = {
      "; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text",
  };
  struct Case {
    const char* what;
    BOOL (*edit)(CDPXScriptFile& file);
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"SetString rewrites the first of repeated keys, in the caller's spelling",
       [](CDPXScriptFile& f) { return f.SetString(u" K ", u"  new  ", FALSE, u"a"); },
       {"; head comment", "[A]", "K = new", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text"}},
      {"SetString adds a key after the section's last header or key line, before its free text",
       [](CDPXScriptFile& f) { return f.SetString(u"n", u"4", FALSE, u"A"); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "n = 4", "tail text"}},
      {"AddLine goes after the free text",
       [](CDPXScriptFile& f) { return f.AddLine(u"; added", FALSE, u"A"); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text", "; added"}},
      {"AddLine of a key line",
       [](CDPXScriptFile& f) { return f.AddLine(u"y=2", FALSE, u"B"); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "y = 2", "[a]", "m = 3", "tail text"}},
      {"a new section is appended with its line",
       [](CDPXScriptFile& f) { return f.SetString(u"z", u"0", FALSE, u" New "); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text", "[New]", "z = 0"}},
      {"AddLine into a missing section",
       [](CDPXScriptFile& f) { return f.AddLine(u"", FALSE, u"C"); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text", "[C]"}},
      {"DeleteSection removes every header, key and free text of the section, not comments or blanks",
       [](CDPXScriptFile& f) { return f.DeleteSection(FALSE, u"a"); },
       {"; head comment", "", "; about B", "[B]", "x = 1"}},
      {"DeleteSection of a missing section still saves",
       [](CDPXScriptFile& f) { return f.DeleteSection(FALSE, u"none"); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text"}},
      {"numbers and booleans",
       [](CDPXScriptFile& f) -> BOOL {
         return f.SetInt(u"i", -1234567, FALSE, u"B") && f.SetUInt(u"u", -5, FALSE, u"B") && f.SetBool(u"b", 7, FALSE, u"B");
       },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "i = -1234567", "u = 0", "b = 1", "[a]", "m = 3", "tail text"}},
      {"the current section",
       [](CDPXScriptFile& f) {
         f.SetCurrentSection(u" b ");
         return f.SetString(u"x", u"9");
       },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 9", "[a]", "m = 3", "tail text"}},
      {"keys before the first header",
       [](CDPXScriptFile& f) { return f.SetString(u"top", u"1", FALSE, nullptr); },
       {"; head comment", "[A]", "k = 1", "k = 2", "free text", "", "; about B", "[B]", "x = 1", "[a]", "m = 3", "tail text", "[]", "top = 1"}},
  };
  for (const Case& c : cases) {
    GermanLocale german;  // numbers are written the same under any locale
    TestFolder folder;
    folder.Write("p.ini", kMark + Join(start, "\r\n"));
    CDPXScriptFile file;
    ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
    EXPECT_TRUE(c.edit(file)) << c.what;
    EXPECT_EQ(folder.Read("p.ini"), Saved(c.expected)) << c.what;
    // What was saved loads back as the same lines.
    CDPXScriptFile again;
    ASSERT_TRUE(again.Open(folder.Wide("p.ini")));
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(folder.Read("p.ini"), Saved(c.expected)) << c.what << " (loaded again)";
  }
}

TEST(CDPXScriptFile, RefusesEditsThatWouldBreakTheLines) {
  const std::string original = Saved({"[S]", "k = 1", "free"});
  struct Case {
    const char* what;
    BOOL (*edit)(CDPXScriptFile& file);
  };
  const Case cases[] = {
      {"blank key", [](CDPXScriptFile& f) { return f.SetString(u"  ", u"v", FALSE, u"S"); }},
      {"line feed in a value", [](CDPXScriptFile& f) { return f.SetString(u"k", u"1\n[Other]\nk = 2", FALSE, u"S"); }},
      {"carriage return in a value", [](CDPXScriptFile& f) { return f.SetString(u"k", u"1\r2", FALSE, u"S"); }},
      {"line feed in a key", [](CDPXScriptFile& f) { return f.SetString(u"a\nb", u"v", FALSE, u"S"); }},
      {"equals sign in a key", [](CDPXScriptFile& f) { return f.SetString(u"a=b", u"v", FALSE, u"S"); }},
      {"quote in a key", [](CDPXScriptFile& f) { return f.SetString(u"it's", u"v", FALSE, u"S"); }},
      {"key that opens a section", [](CDPXScriptFile& f) { return f.SetString(u"[x]", u"v", FALSE, u"S"); }},
      {"key that is a comment", [](CDPXScriptFile& f) { return f.SetString(u";x", u"v", FALSE, u"S"); }},
      {"line feed in a section name", [](CDPXScriptFile& f) { return f.SetString(u"k", u"v", FALSE, u"S]\n[T"); }},
      {"line feed in an added line", [](CDPXScriptFile& f) { return f.AddLine(u"a\nb", FALSE, u"S"); }},
      {"added line that would be written back empty", [](CDPXScriptFile& f) { return f.AddLine(u"[unclosed", FALSE, u"S"); }},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    folder.Write("p.ini", original);
    CDPXScriptFile file;
    ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
    EXPECT_FALSE(c.edit(file)) << c.what;
    EXPECT_TRUE(file.Save());
    EXPECT_EQ(folder.Read("p.ini"), original) << c.what;
  }
}

TEST(CDPXScriptFile, QueriesGiveViewsOfTheLines) {
  TestFolder folder;
  folder.Write("p.ini", Join({"pre = 0", "[One]", "a = 1", "text one", "b = 2", "[two]", "a = x", "[ONE]", "a = 3",
                              "text two", "[Three]"},
                             "\n"));
  CDPXScriptFile file;
  ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
  auto formatted = [](const CDPXScriptItemList& list) {
    std::vector<std::string> lines;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
      CString line;
      static_cast<CDPXScriptItem*>(list.GetNext(pos))->Format(line);
      lines.push_back(line.ToUtf8());
    }
    return lines;
  };
  CDPXScriptItemList list;
  EXPECT_TRUE(list.OwnsItems());
  ASSERT_TRUE(file.GetSections(list));
  EXPECT_FALSE(list.OwnsItems());
  EXPECT_EQ(formatted(list), (std::vector<std::string>{"[One]", "[two]", "[Three]"}));
  ASSERT_TRUE(file.GetKeys(u" one ", list));
  EXPECT_EQ(formatted(list), (std::vector<std::string>{"a = 1", "b = 2", "a = 3"}));
  ASSERT_TRUE(file.GetKeyItems(u"ONE", u"A", list));
  EXPECT_EQ(formatted(list), (std::vector<std::string>{"a = 1", "a = 3"}));
  ASSERT_TRUE(file.GetLines(u"one", list));
  EXPECT_EQ(formatted(list), (std::vector<std::string>{"text one", "text two"}));
  ASSERT_TRUE(file.GetKeys(u"", list));
  EXPECT_EQ(formatted(list), (std::vector<std::string>{"pre = 0"}));
  ASSERT_TRUE(file.GetKeys(u"missing", list));
  EXPECT_EQ(list.GetCount(), 0);

  // The view's entries belong to the file: dropping the view leaves them.
  CString key;
  {
    CDPXScriptItemList view;
    file.GetKeyItems(u"two", u"a", view);
    ASSERT_EQ(view.GetCount(), 1);
    CDPXScriptItem* item = static_cast<CDPXScriptItem*>(view.GetHead());
    EXPECT_TRUE(item->GetKey(key));
  }
  CString value;
  EXPECT_TRUE(file.GetString(u"a", value, FALSE, u"two"));
  EXPECT_EQ(value, u"x");
}

TEST(CDPXScriptFile, SavingDropsBlankLinesAtTheEndsOnly) {
  struct Case {
    bool removeAllFirst;
    std::vector<std::string> expected;
  };
  // Saving drops blank lines at the start and the end; removing all of them first takes the inner
  // ones too. Comments are never blank lines.
  const Case cases[] = {
      {false, {"; c", "[S]", "", "k = 1", ";", "x"}},
      {true, {"; c", "[S]", "k = 1", ";", "x"}},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    folder.Write("p.ini", Join({"", "  ", "; c", "[S]", "\t", "k=1", ";", "x", "", ""}, "\n"));
    CDPXScriptFile file;
    ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
    if (c.removeAllFirst) file.RemoveBlankLines(TRUE, FALSE, FALSE);
    ASSERT_TRUE(file.Save(folder.Wide("out.ini")));
    EXPECT_EQ(folder.Read("out.ini"), Saved(c.expected)) << "remove all first: " << c.removeAllFirst;
    EXPECT_TRUE(folder.Read("p.ini").starts_with("\n  \n")) << "saving elsewhere leaves the file";
  }
}

TEST(CDPXScriptFile, AutoSaveCreatesAMissingFile) {
  TestFolder folder;
  CDPXScriptFile file;
  EXPECT_FALSE(file.Open(folder.Wide("new.ini")));
  EXPECT_EQ(file.GetPath(), folder.Wide("new.ini")) << "the path stays stored";
  EXPECT_FALSE(folder.Exists("new.ini"));
  EXPECT_TRUE(file.SetString(u"k", u"v", FALSE, u"S"));
  EXPECT_EQ(folder.Read("new.ini"), Saved({"[S]", "k = v"}));

  CDPXScriptFile quiet;
  EXPECT_FALSE(quiet.Open(folder.Wide("quiet.ini")));
  quiet.SetAutoSave(FALSE);
  EXPECT_TRUE(quiet.SetString(u"k", u"v", FALSE, u"S"));
  EXPECT_FALSE(folder.Exists("quiet.ini"));
  EXPECT_TRUE(quiet.Save());
  EXPECT_EQ(folder.Read("quiet.ini"), Saved({"[S]", "k = v"}));
  EXPECT_FALSE(quiet.Save(u"   ")) << "a blank path";
  EXPECT_FALSE(CDPXScriptFile().Load()) << "no path stored";
}

TEST(CDPXScriptFile, AFailedSaveKeepsTheFileThatWasThere) {
  TestFolder folder;
  const std::string original = Saved({"[S]", "k = old"});
  folder.Write("p.ini", original);
  CDPXScriptFile file;
  ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
  {
    FileSizeLimit limit(40);
    EXPECT_FALSE(file.SetString(u"k", CString(u'x', 200), FALSE, u"S")) << "the failed auto-save is reported";
    EXPECT_FALSE(file.Save());
  }
  EXPECT_EQ(folder.Read("p.ini"), original);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"p.ini"})) << "no temporary file left behind";
  EXPECT_FALSE(file.Save(folder.Wide("missing/p.ini")));
  EXPECT_TRUE(file.Save());
  EXPECT_EQ(folder.Read("p.ini"), Saved({"[S]", "k = " + std::string(200, 'x')}));
}

TEST(CDPXScriptFile, AReadOnlyFileIsNotSaved) {
  TestFolder folder;
  const std::string original = Saved({"[S]", "k = old"});
  folder.Write("p.ini", original);
  ::chmod(folder.Native("p.ini").c_str(), 0444);
  CDPXScriptFile file;
  ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
  EXPECT_FALSE(file.SetString(u"k", u"new", FALSE, u"S"));
  EXPECT_EQ(folder.Read("p.ini"), original);
}

TEST(CDPXScriptFile, AFileThatCannotBeReadIsNotOverwrittenByAutoSave) {
  // A socket stands for a settings file that is there but cannot be read: running as root,
  // permissions would not keep the test from reading a file.
  TestFolder folder;
  const std::string path = folder.Native("p.ini");
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof(address.sun_path));
  path.copy(address.sun_path, path.size());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

  CDPXScriptFile file;
  EXPECT_FALSE(file.Open(folder.Wide("p.ini")));
  EXPECT_FALSE(file.SetString(u"k", u"v", FALSE, u"S")) << "the edit is not written over the file";
  struct stat st;
  ASSERT_EQ(::lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode)) << "the file that could not be read is still there";
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"p.ini"}));
  ::close(listener);

  // Once it is gone, or saved on purpose, auto-save works again.
  ::unlink(path.c_str());
  EXPECT_TRUE(file.SetString(u"k", u"w", FALSE, u"S"));
  EXPECT_EQ(folder.Read("p.ini"), Saved({"[S]", "k = w"}));
}

TEST(CDPXScriptFile, ALineThatIsNotTextIsKeptWithAReplacementCharacter) {
  TestFolder folder;
  folder.Write("p.ini", kMark + Join({"[S]", "bad = a\xFF" "b", "after = 1", "[T]", "last = 2"}, "\r\n"));
  CDPXScriptFile file;
  ASSERT_TRUE(file.Open(folder.Wide("p.ini")));
  EXPECT_TRUE(file.SetString(u"new", u"3", FALSE, u"T"));
  EXPECT_EQ(folder.Read("p.ini"), Saved({"[S]", "bad = a\xEF\xBF\xBD" "b", "after = 1", "[T]", "last = 2", "new = 3"}));
}

TEST(CDPXScriptFile, AnythingLoadedSavesToAFileThatLoadsBackTheSame) {
  // Random files built from the characters that matter to the format: whatever they hold, saving
  // settles on a file that loads and saves unchanged, and every edit that is accepted reads back
  // as written.
  const std::vector<std::string> pieces = {"[", "]", "=", ";", "\"", "'", " ", "\t", "\r", "\n", "\r\n", "k", "K", "v",
                                           "S", "\xC3\xA4", "\xFF", "\xEF\xBB\xBF", "\xFE\xFF", "\0"s, "[S]", "k = v"};
  const std::vector<std::u16string> words = {u"k", u"K", u" k ", u"a=b", u"[x", u"x]", u";c", u"q\"", u"l\nf", u"v",
                                             u"", u"  ", u"c\rr", u"\u00e4", u"= v", u"S", u"s"};
  std::uint32_t seed = 12345;
  auto next = [&seed](size_t bound) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<size_t>((seed >> 8) % bound);
  };
  for (int round = 0; round < 400; ++round) {
    std::string bytes;
    for (size_t n = next(40); n > 0; --n) bytes += pieces[next(pieces.size())];
    TestFolder folder;
    folder.Write("p.ini", bytes);
    CDPXScriptFile file;
    ASSERT_TRUE(file.Open(folder.Wide("p.ini"))) << round;
    ASSERT_TRUE(file.Save()) << round;
    // An unclosed header is written as an empty line, which the next save may drop as a blank
    // line at an end; from then on the file stays as it is.
    CDPXScriptFile second;
    ASSERT_TRUE(second.Open(folder.Wide("p.ini")));
    ASSERT_TRUE(second.Save());
    const std::string saved = folder.Read("p.ini");
    CDPXScriptFile again;
    ASSERT_TRUE(again.Open(folder.Wide("p.ini")));
    ASSERT_TRUE(again.Save());
    ASSERT_EQ(folder.Read("p.ini"), saved) << "round " << round << ", file " << Printable(bytes);

    const CString key(words[next(words.size())] + words[next(words.size())]);
    const CString value(words[next(words.size())] + words[next(words.size())]);
    const CString section(words[next(words.size())]);
    if (!again.SetString(key, value, FALSE, section)) continue;
    CDPXScriptFile check;
    ASSERT_TRUE(check.Open(folder.Wide("p.ini")));
    CString read;
    EXPECT_TRUE(check.GetString(key, read, FALSE, section)) << "round " << round << ", key " << key;
    EXPECT_EQ(read, CString(value).Trim()) << "round " << round << ", key " << key;
  }
}
