#include "foundation/util/DPXLookupTables.h"

#include <gtest/gtest.h>

#include <string>

TEST(DPXLookupTables, GivesLocaleTags) {
  struct Case {
    LCID lcid;
    const char* tag;
  };
  const Case cases[] = {
      {0x0C0A, "es-es"},  {0x0409, "en-us"}, {0x0407, "de-de"}, {0x0436, "af"},
      {0x3009, "en-zw"},  {0x082C, "az-az"}, {0x0814, "no-no"}, {0x141A, "bs-latn-ba"},
      {0x0000, ""},       {0x040A, ""},      {0xFFFF, ""},
  };
  for (const Case& c : cases) {
    CString tag = u"stale";
    DPXLcidToLocaleName(c.lcid, tag);
    EXPECT_EQ(tag.ToUtf8(), c.tag) << std::hex << c.lcid;
  }
}

TEST(DPXLookupTables, NamesVirtualKeys) {
  struct Case {
    int code;
    const char* name;
  };
  const Case cases[] = {
      {0x15, "VK_KANA"},       {0x19, "VK_HANJA"}, {0x92, "VK_OEM_NEC_EQUAL"}, {0x01, "VK_LBUTTON"},
      {0x74, "VK_F5"},         {0x87, "VK_F24"},   {0x30, "VK_0"},             {0x5A, "VK_Z"},
      {0x69, "VK_NUMPAD9"},    {0xFE, "VK_OEM_CLEAR"}, {0xDE, "VK_OEM_7"},     {0x07, ""},
      {0x00, ""},              {0x100, ""},
  };
  for (const Case& c : cases) {
    CString name = u"stale";
    DPXVirtualKeyToName(c.code, name);
    EXPECT_EQ(name.ToUtf8(), c.name) << std::hex << c.code;
  }
}

TEST(DPXLookupTables, ReadsVirtualKeyNames) {
  struct Case {
    const char16_t* name;
    int code;
  };
  const Case cases[] = {
      {u"vk_f5", 0x74},   {u"VK_F5", 0x74},   {u"q", 0x51},     {u"Q", 0x51},    {u"5", 0x35},
      {u"VK_2", 0x32},    {u"?", 0},          {u"\u00e4", 0},   {u"VK_HANGUL", 0x15},
      {u"VK_KANJI", 0x19}, {u"VK_OEM_FJ_JISHO", 0x92}, {u"vk_nope", 0}, {u"ab", 0}, {u"", 0},
      {nullptr, 0},
  };
  for (const Case& c : cases) {
    int code = -1;
    DPXNameToVirtualKey(c.name, code);
    EXPECT_EQ(code, c.code) << (c.name ? CString(c.name).ToUtf8() : "(null)");
  }
  // Every name of the table reads back as a code that names itself or an earlier row of that code.
  for (int code = 0; code < 0x100; ++code) {
    CString name;
    DPXVirtualKeyToName(code, name);
    if (name.IsEmpty()) continue;
    int back = -1;
    DPXNameToVirtualKey(name, back);
    EXPECT_EQ(back, code) << name;
  }
}
