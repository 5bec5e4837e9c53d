#include "foundation/util/DPXLookupTables.h"

#include <iterator>
#include <string>

namespace {

struct LocaleRow {
  LCID lcid;
  const char16_t* tag;
};

// 0x0C0A stands twice; the first row wins, so its second tag is never given out.
constexpr LocaleRow kLocales[] = {
    {0x0436, u"af"}, {0x041C, u"sq"}, {0x3801, u"ar-ae"}, {0x3C01, u"ar-bh"}, {0x1401, u"ar-dz"},
    {0x0C01, u"ar-eg"}, {0x0801, u"ar-iq"}, {0x2C01, u"ar-jo"}, {0x3401, u"ar-kw"},
    {0x3001, u"ar-lb"}, {0x1001, u"ar-ly"}, {0x1801, u"ar-ma"}, {0x2001, u"ar-om"},
    {0x4001, u"ar-qa"}, {0x0401, u"ar-sa"}, {0x2801, u"ar-sy"}, {0x1C01, u"ar-tn"},
    {0x2401, u"ar-ye"}, {0x042B, u"hy"}, {0x042C, u"az-az"}, {0x082C, u"az-az"}, {0x042D, u"eu"},
    {0x0423, u"be"}, {0x0402, u"bg"}, {0x0403, u"ca"}, {0x0804, u"zh-cn"}, {0x0C04, u"zh-hk"},
    {0x1404, u"zh-mo"}, {0x1004, u"zh-sg"}, {0x0404, u"zh-tw"}, {0x041A, u"hr"}, {0x0405, u"cs"},
    {0x0406, u"da"}, {0x0413, u"nl-nl"}, {0x0813, u"nl-be"}, {0x0C09, u"en-au"}, {0x2809, u"en-bz"},
    {0x1009, u"en-ca"}, {0x2409, u"en-cb"}, {0x1809, u"en-ie"}, {0x2009, u"en-jm"},
    {0x1409, u"en-nz"}, {0x3409, u"en-ph"}, {0x1C09, u"en-za"}, {0x2C09, u"en-tt"},
    {0x0809, u"en-gb"}, {0x0409, u"en-us"}, {0x0425, u"et"}, {0x0429, u"fa"}, {0x040B, u"fi"},
    {0x0438, u"fo"}, {0x040C, u"fr-fr"}, {0x080C, u"fr-be"}, {0x0C0C, u"fr-ca"}, {0x140C, u"fr-lu"},
    {0x100C, u"fr-ch"}, {0x083C, u"gd-ie"}, {0x043C, u"gd"}, {0x0407, u"de-de"}, {0x0C07, u"de-at"},
    {0x1407, u"de-li"}, {0x1007, u"de-lu"}, {0x0807, u"de-ch"}, {0x0408, u"el"}, {0x040D, u"he"},
    {0x0439, u"hi"}, {0x040E, u"hu"}, {0x040F, u"is"}, {0x0421, u"id"}, {0x0410, u"it-it"},
    {0x0810, u"it-ch"}, {0x0411, u"ja"}, {0x0412, u"ko"}, {0x0426, u"lv"}, {0x0427, u"lt"},
    {0x042F, u"mk"}, {0x043E, u"ms-my"}, {0x083E, u"ms-bn"}, {0x043A, u"mt"}, {0x044E, u"mr"},
    {0x0414, u"no-no"}, {0x0814, u"no-no"}, {0x0415, u"pl"}, {0x0816, u"pt-pt"}, {0x0416, u"pt-br"},
    {0x0417, u"rm"}, {0x0418, u"ro"}, {0x0818, u"ro-mo"}, {0x0419, u"ru"}, {0x0819, u"ru-mo"},
    {0x044F, u"sa"}, {0x0C1A, u"sr-sp"}, {0x081A, u"sr-sp"}, {0x0432, u"tn"}, {0x0424, u"sl"},
    {0x041B, u"sk"}, {0x042E, u"sb"}, {0x0C0A, u"es-es"}, {0x2C0A, u"es-ar"}, {0x400A, u"es-bo"},
    {0x340A, u"es-cl"}, {0x240A, u"es-co"}, {0x140A, u"es-cr"}, {0x1C0A, u"es-do"},
    {0x300A, u"es-ec"}, {0x100A, u"es-gt"}, {0x480A, u"es-hn"}, {0x080A, u"es-mx"},
    {0x4C0A, u"es-ni"}, {0x180A, u"es-pa"}, {0x280A, u"es-pe"}, {0x500A, u"es-pr"},
    {0x3C0A, u"es-py"}, {0x440A, u"es-sv"}, {0x380A, u"es-uy"}, {0x200A, u"es-ve"}, {0x0430, u"sx"},
    {0x0441, u"sw"}, {0x041D, u"sv-se"}, {0x081D, u"sv-fi"}, {0x0449, u"ta"}, {0x0444, u"tt"},
    {0x041E, u"th"}, {0x041F, u"tr"}, {0x0431, u"ts"}, {0x0422, u"uk"}, {0x0420, u"ur"},
    {0x0843, u"uz-uz"}, {0x0443, u"uz-uz"}, {0x042A, u"vi"}, {0x0434, u"xh"}, {0x043D, u"yi"},
    {0x0435, u"zu"}, {0x0437, u"ka-ge"}, {0x043B, u"se-no"}, {0x043F, u"kk-kz"}, {0x0440, u"ky-kg"},
    {0x0445, u"bn-in"}, {0x0446, u"pa-in"}, {0x0447, u"gu-in"}, {0x044A, u"te-in"},
    {0x044B, u"kn-in"}, {0x044C, u"ml-in"}, {0x0450, u"mn-mn"}, {0x0452, u"cy-gb"},
    {0x0456, u"gl-es"}, {0x0457, u"kok-in"}, {0x045A, u"syr-sy"}, {0x0465, u"dv-mv"},
    {0x046B, u"quz-bo"}, {0x0481, u"mi-nz"}, {0x083B, u"se-se"}, {0x086B, u"quz-ec"},
    {0x0C0A, u"es-es_tradnl"}, {0x0C3B, u"se-fi"}, {0x0C6B, u"quz-pe"}, {0x101A, u"hr-ba"},
    {0x103B, u"smj-no"}, {0x141A, u"bs-latn-ba"}, {0x143B, u"smj-se"}, {0x180C, u"fr-mc"},
    {0x181A, u"sr-latn-ba"}, {0x183B, u"sma-no"}, {0x1C1A, u"sr-cyrl-ba"}, {0x1C3B, u"sma-se"},
    {0x203B, u"sms-fi"}, {0x243B, u"smn-fi"}, {0x3009, u"en-zw"},
};

static_assert(std::size(kLocales) == 168);

struct KeyRow {
  int code;
  const char16_t* name;
};

// Codes with several names give the first one.
constexpr KeyRow kKeys[] = {
    {0x01, u"VK_LBUTTON"}, {0x02, u"VK_RBUTTON"}, {0x03, u"VK_CANCEL"}, {0x04, u"VK_MBUTTON"},
    {0x05, u"VK_XBUTTON1"}, {0x06, u"VK_XBUTTON2"}, {0x08, u"VK_BACK"}, {0x09, u"VK_TAB"},
    {0x0C, u"VK_CLEAR"}, {0x0D, u"VK_RETURN"}, {0x10, u"VK_SHIFT"}, {0x11, u"VK_CONTROL"},
    {0x12, u"VK_MENU"}, {0x13, u"VK_PAUSE"}, {0x14, u"VK_CAPITAL"}, {0x15, u"VK_KANA"},
    {0x15, u"VK_HANGEUL"}, {0x15, u"VK_HANGUL"}, {0x17, u"VK_JUNJA"}, {0x18, u"VK_FINAL"},
    {0x19, u"VK_HANJA"}, {0x19, u"VK_KANJI"}, {0x1B, u"VK_ESCAPE"}, {0x1C, u"VK_CONVERT"},
    {0x1D, u"VK_NONCONVERT"}, {0x1E, u"VK_ACCEPT"}, {0x1F, u"VK_MODECHANGE"}, {0x20, u"VK_SPACE"},
    {0x21, u"VK_PRIOR"}, {0x22, u"VK_NEXT"}, {0x23, u"VK_END"}, {0x24, u"VK_HOME"},
    {0x25, u"VK_LEFT"}, {0x26, u"VK_UP"}, {0x27, u"VK_RIGHT"}, {0x28, u"VK_DOWN"},
    {0x29, u"VK_SELECT"}, {0x2A, u"VK_PRINT"}, {0x2B, u"VK_EXECUTE"}, {0x2C, u"VK_SNAPSHOT"},
    {0x2D, u"VK_INSERT"}, {0x2E, u"VK_DELETE"}, {0x2F, u"VK_HELP"}, {0x30, u"VK_0"},
    {0x31, u"VK_1"}, {0x32, u"VK_2"}, {0x33, u"VK_3"}, {0x34, u"VK_4"}, {0x35, u"VK_5"},
    {0x36, u"VK_6"}, {0x37, u"VK_7"}, {0x38, u"VK_8"}, {0x39, u"VK_9"}, {0x41, u"VK_A"},
    {0x42, u"VK_B"}, {0x43, u"VK_C"}, {0x44, u"VK_D"}, {0x45, u"VK_E"}, {0x46, u"VK_F"},
    {0x47, u"VK_G"}, {0x48, u"VK_H"}, {0x49, u"VK_I"}, {0x4A, u"VK_J"}, {0x4B, u"VK_K"},
    {0x4C, u"VK_L"}, {0x4D, u"VK_M"}, {0x4E, u"VK_N"}, {0x4F, u"VK_O"}, {0x50, u"VK_P"},
    {0x51, u"VK_Q"}, {0x52, u"VK_R"}, {0x53, u"VK_S"}, {0x54, u"VK_T"}, {0x55, u"VK_U"},
    {0x56, u"VK_V"}, {0x57, u"VK_W"}, {0x58, u"VK_X"}, {0x59, u"VK_Y"}, {0x5A, u"VK_Z"},
    {0x5B, u"VK_LWIN"}, {0x5C, u"VK_RWIN"}, {0x5D, u"VK_APPS"}, {0x5F, u"VK_SLEEP"},
    {0x60, u"VK_NUMPAD0"}, {0x61, u"VK_NUMPAD1"}, {0x62, u"VK_NUMPAD2"}, {0x63, u"VK_NUMPAD3"},
    {0x64, u"VK_NUMPAD4"}, {0x65, u"VK_NUMPAD5"}, {0x66, u"VK_NUMPAD6"}, {0x67, u"VK_NUMPAD7"},
    {0x68, u"VK_NUMPAD8"}, {0x69, u"VK_NUMPAD9"}, {0x6A, u"VK_MULTIPLY"}, {0x6B, u"VK_ADD"},
    {0x6C, u"VK_SEPARATOR"}, {0x6D, u"VK_SUBTRACT"}, {0x6E, u"VK_DECIMAL"}, {0x6F, u"VK_DIVIDE"},
    {0x70, u"VK_F1"}, {0x71, u"VK_F2"}, {0x72, u"VK_F3"}, {0x73, u"VK_F4"}, {0x74, u"VK_F5"},
    {0x75, u"VK_F6"}, {0x76, u"VK_F7"}, {0x77, u"VK_F8"}, {0x78, u"VK_F9"}, {0x79, u"VK_F10"},
    {0x7A, u"VK_F11"}, {0x7B, u"VK_F12"}, {0x7C, u"VK_F13"}, {0x7D, u"VK_F14"}, {0x7E, u"VK_F15"},
    {0x7F, u"VK_F16"}, {0x80, u"VK_F17"}, {0x81, u"VK_F18"}, {0x82, u"VK_F19"}, {0x83, u"VK_F20"},
    {0x84, u"VK_F21"}, {0x85, u"VK_F22"}, {0x86, u"VK_F23"}, {0x87, u"VK_F24"},
    {0x90, u"VK_NUMLOCK"}, {0x91, u"VK_SCROLL"}, {0x92, u"VK_OEM_NEC_EQUAL"},
    {0x92, u"VK_OEM_FJ_JISHO"}, {0x93, u"VK_OEM_FJ_MASSHOU"}, {0x94, u"VK_OEM_FJ_TOUROKU"},
    {0x95, u"VK_OEM_FJ_LOYA"}, {0x96, u"VK_OEM_FJ_ROYA"}, {0xA0, u"VK_LSHIFT"},
    {0xA1, u"VK_RSHIFT"}, {0xA2, u"VK_LCONTROL"}, {0xA3, u"VK_RCONTROL"}, {0xA4, u"VK_LMENU"},
    {0xA5, u"VK_RMENU"}, {0xA6, u"VK_BROWSER_BACK"}, {0xA7, u"VK_BROWSER_FORWARD"},
    {0xA8, u"VK_BROWSER_REFRESH"}, {0xA9, u"VK_BROWSER_STOP"}, {0xAA, u"VK_BROWSER_SEARCH"},
    {0xAB, u"VK_BROWSER_FAVORITES"}, {0xAC, u"VK_BROWSER_HOME"}, {0xAD, u"VK_VOLUME_MUTE"},
    {0xAE, u"VK_VOLUME_DOWN"}, {0xAF, u"VK_VOLUME_UP"}, {0xB0, u"VK_MEDIA_NEXT_TRACK"},
    {0xB1, u"VK_MEDIA_PREV_TRACK"}, {0xB2, u"VK_MEDIA_STOP"}, {0xB3, u"VK_MEDIA_PLAY_PAUSE"},
    {0xB4, u"VK_LAUNCH_MAIL"}, {0xB5, u"VK_LAUNCH_MEDIA_SELECT"}, {0xB6, u"VK_LAUNCH_APP1"},
    {0xB7, u"VK_LAUNCH_APP2"}, {0xBA, u"VK_OEM_1"}, {0xBB, u"VK_OEM_PLUS"}, {0xBC, u"VK_OEM_COMMA"},
    {0xBD, u"VK_OEM_MINUS"}, {0xBE, u"VK_OEM_PERIOD"}, {0xBF, u"VK_OEM_2"}, {0xC0, u"VK_OEM_3"},
    {0xDB, u"VK_OEM_4"}, {0xDC, u"VK_OEM_5"}, {0xDD, u"VK_OEM_6"}, {0xDE, u"VK_OEM_7"},
    {0xDF, u"VK_OEM_8"}, {0xE1, u"VK_OEM_AX"}, {0xE2, u"VK_OEM_102"}, {0xE3, u"VK_ICO_HELP"},
    {0xE4, u"VK_ICO_00"}, {0xE5, u"VK_PROCESSKEY"}, {0xE6, u"VK_ICO_CLEAR"}, {0xE7, u"VK_PACKET"},
    {0xE9, u"VK_OEM_RESET"}, {0xEA, u"VK_OEM_JUMP"}, {0xEB, u"VK_OEM_PA1"}, {0xEC, u"VK_OEM_PA2"},
    {0xED, u"VK_OEM_PA3"}, {0xEE, u"VK_OEM_WSCTRL"}, {0xEF, u"VK_OEM_CUSEL"},
    {0xF0, u"VK_OEM_ATTN"}, {0xF1, u"VK_OEM_FINISH"}, {0xF2, u"VK_OEM_COPY"},
    {0xF3, u"VK_OEM_AUTO"}, {0xF4, u"VK_OEM_ENLW"}, {0xF5, u"VK_OEM_BACKTAB"}, {0xF6, u"VK_ATTN"},
    {0xF7, u"VK_CRSEL"}, {0xF8, u"VK_EXSEL"}, {0xF9, u"VK_EREOF"}, {0xFA, u"VK_PLAY"},
    {0xFB, u"VK_ZOOM"}, {0xFC, u"VK_NONAME"}, {0xFD, u"VK_PA1"}, {0xFE, u"VK_OEM_CLEAR"},
};

static_assert(std::size(kKeys) == 196);

}  // namespace

void DPXLcidToLocaleName(LCID lcid, CString& out) {
  out.Empty();
  for (const LocaleRow& row : kLocales) {
    if (row.lcid == lcid) {
      out = row.tag;
      return;
    }
  }
}

void DPXVirtualKeyToName(int key, CString& out) {
  out.Empty();
  for (const KeyRow& row : kKeys) {
    if (row.code == key) {
      out = row.name;
      return;
    }
  }
}

void DPXNameToVirtualKey(LPCWSTR name, int& key) {
  key = 0;
  if (!name) return;
  const CString text(name);
  for (const KeyRow& row : kKeys) {
    if (text.CompareNoCase(row.name) == 0) {
      key = row.code;
      return;
    }
  }
  if (text.GetLength() != 1) return;
  const std::string utf8 = text.ToUtf8();
  if (utf8.size() != 1) return;
  const char ch = utf8[0];
  if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z')) key = ch;
  else if (ch >= 'a' && ch <= 'z') key = ch - 'a' + 'A';
}
