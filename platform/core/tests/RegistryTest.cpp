#include "platform/core/registry.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes TextBytes(std::u16string_view text) {
  Bytes bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<BYTE>(unit & 0xFF));
    bytes.push_back(static_cast<BYTE>(unit >> 8));
  }
  return bytes;
}

struct Stored {
  DWORD type;
  Bytes data;
  bool operator==(const Stored&) const = default;
};

// The value as stored, or type 0xFFFF with the error code as data when the query fails.
Stored Query(HKEY key, LPCWSTR name) {
  DWORD type = 0, size = 0;
  LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return {0xFFFF, Bytes {static_cast<BYTE>(status & 0xFF)}};
  Bytes data(size);
  status = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
  if (status != ERROR_SUCCESS) return {0xFFFF, Bytes {static_cast<BYTE>(status & 0xFF)}};
  return {type, data};
}

HKEY Create(HKEY parent, LPCWSTR path, DWORD* disposition = nullptr) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, disposition),
            ERROR_SUCCESS)
      << CString(path);
  return key;
}

std::vector<std::string> SubkeyNames(HKEY key) {
  std::vector<std::string> names;
  WCHAR name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = 256;
    const LSTATUS status = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    EXPECT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(length, DWORD(CString(name).GetLength()));
    names.push_back(CString(name).ToUtf8());
  }
  return names;
}

class Registry : public ::testing::Test {
protected:
  TestFolder m_folder;
  ScopedEnvironment m_location { "QV_REGISTRY_DIR", m_folder.Native("config").c_str() };
};

}  // namespace

TEST_F(Registry, ValuesOfEveryKindSurviveAReload) {
  struct Case {
    const char16_t* name;
    DWORD type;
    Bytes data;
  };
  const Case cases[] = {
      {u"", REG_SZ, TextBytes(u"QVMail")},  // the default value, written without a terminator
      {u"DLLPath", REG_SZ, TextBytes(std::u16string_view(u"/opt/qv/libmail.so\0", 19))},
      {u"Quotes \"and\\ slashes", REG_SZ, TextBytes(u"a \"b\" \\c\\ \u00e4\U0001F600 line\r\nnext\ttab")},
      {u"Lone surrogate", REG_SZ, TextBytes(u"x\xD800y")},
      {u"Odd bytes", REG_SZ, Bytes {0x41, 0x00, 0x42}},
      {u"Search", REG_EXPAND_SZ, TextBytes(std::u16string_view(u"%HOME%/scans\0", 13))},
      {u"Count", REG_DWORD, Bytes {0x0D, 0x0C, 0x0B, 0x2A}},
      {u"Short dword", REG_DWORD, Bytes {0x01, 0x02}},
      {u"Blob", REG_BINARY, Bytes {0x00, 0xFF, 0x10, 0x80}},
      {u"Empty blob", REG_BINARY, Bytes {}},
      {u"Multi", 7, TextBytes(std::u16string_view(u"a\0b\0\0", 5))},
  };
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"Software\\Clients\\Mail");
  for (const Case& c : cases)
    ASSERT_EQ(RegSetValueExW(key, c.name, 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())), ERROR_SUCCESS)
        << CString(c.name);
  RegCloseKey(key);

  // Another location holding a copy of the file: everything comes back from the text alone.
  std::filesystem::create_directories(m_folder.Native("copy"));
  std::filesystem::copy_file(m_folder.Native("config/HKEY_LOCAL_MACHINE.reg"), m_folder.Native("copy/HKEY_LOCAL_MACHINE.reg"));
  ScopedEnvironment copy("QV_REGISTRY_DIR", m_folder.Native("copy").c_str());
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\clients\\MAIL", 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const Case& c : cases) EXPECT_EQ(Query(key, c.name), (Stored {c.type, c.data})) << CString(c.name);
  EXPECT_EQ(Query(key, nullptr), (Stored {REG_SZ, TextBytes(u"QVMail")}));
  EXPECT_EQ(Query(key, u"count"), (Stored {REG_DWORD, {0x0D, 0x0C, 0x0B, 0x2A}}));
  RegCloseKey(key);

  const std::string text = m_folder.Read("copy/HKEY_LOCAL_MACHINE.reg");
  for (const char* line : {"[Software\\Clients\\Mail]\n", "@=\"QVMail\"\n", "\"DLLPath\"=\"/opt/qv/libmail.so\\0\"\n",
                           "\"Count\"=dword:2a0b0c0d\n", "\"Blob\"=hex:00,ff,10,80\n", "\"Odd bytes\"=hex(1):41,00,42\n",
                           "\"Short dword\"=hex(4):01,02\n", "\"Quotes \\\"and\\\\ slashes\"=", "\"Search\"=expand:\"%HOME%/scans\\0\"\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST_F(Registry, AFileChangedByAnotherProcessIsReadAgain) {
  m_folder.MakeFolder("config");
  m_folder.Write("config/HKEY_CURRENT_USER.reg",
                 "; written by hand\r\n"
                 "\"before any key\"=\"ignored\"\r\n"
                 "[Software\\Qv]\r\n"
                 "\"Name\"=\"first\"\r\n"
                 "\"Broken quote=\"x\"\r\n"
                 "\"Bad dword\"=dword:12\r\n"
                 "\"Bad hex\"=hex:1,2\r\n"
                 "\"Unknown\"=float:1.5\r\n"
                 "[unterminated\r\n"
                 "\"Lost\"=\"no key\"\r\n"
                 "[Software\\Qv\\Sub]\r\n"
                 "\"Level\"=dword:00000003\r\n");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Qv", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, u"Name"), (Stored {REG_SZ, TextBytes(u"first")}));
  DWORD count = 0;
  WCHAR name[64];
  for (DWORD length = 64; RegEnumValueW(key, count, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; length = 64)
    ++count;
  EXPECT_EQ(count, 1u);  // the damaged lines cost only themselves
  EXPECT_EQ(SubkeyNames(key), std::vector<std::string>({"Sub"}));

  m_folder.Write("config/HKEY_CURRENT_USER.reg", "[Software\\Qv]\n\"Name\"=\"second, longer\"\n");
  EXPECT_EQ(Query(key, u"Name"), (Stored {REG_SZ, TextBytes(u"second, longer")}));
  EXPECT_TRUE(SubkeyNames(key).empty());

  std::filesystem::remove(m_folder.Native("config/HKEY_CURRENT_USER.reg"));
  EXPECT_EQ(Query(key, u"Name"), (Stored {0xFFFF, {ERROR_KEY_DELETED & 0xFF}}));
  RegCloseKey(key);
}

TEST_F(Registry, KeysBeyondTheTreesLimitsAreDamageAndCostOnlyThemselves) {
  // A tree is at most 512 keys deep and a name at most 255 characters long, without control
  // characters (no call could open such a key). A key nested far deeper once overflowed the
  // stack when the file was written back.
  auto nested = [](int levels) {
    std::string path = "Software";
    for (int level = 1; level < levels; ++level) path += "\\k";
    return path;
  };
  struct Case {
    const char* what;
    std::string path;
    bool kept;
  };
  const Case cases[] = {
      {"512 levels", nested(512), true},
      {"513 levels", nested(513), false},
      {"200000 levels", nested(200000), false},
      {"a name of 255 characters", "Software\\" + std::string(255, 'n'), true},
      {"a name of 256 characters", "Software\\" + std::string(256, 'n'), false},
      {"a name with a control character", std::string("Software\\a\x01b"), false},
      {"a name with a NUL", std::string("Software\\a\0b", 12), false},
  };
  for (const Case& c : cases) {
    m_folder.MakeFolder("config");
    m_folder.Write("config/HKEY_CURRENT_USER.reg", "[" + c.path + "]\n\"Deep\"=dword:00000001\n[Software\\Qv]\n\"Name\"=\"kept\"\n");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Qv", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS) << c.what;
    EXPECT_EQ(Query(key, u"Name"), (Stored {REG_SZ, TextBytes(u"kept")})) << c.what;
    const BYTE one = 1;
    EXPECT_EQ(RegSetValueExW(key, u"Written", 0, REG_BINARY, &one, 1), ERROR_SUCCESS) << c.what;
    RegCloseKey(key);
    const CString path = CString::FromUtf8(c.path);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == ERROR_SUCCESS, c.kept) << c.what;
    if (c.kept) RegCloseKey(key);
    EXPECT_EQ(m_folder.Read("config/HKEY_CURRENT_USER.reg").find("Deep") != std::string::npos, c.kept) << c.what;
  }
}

TEST_F(Registry, KeysIgnoreCaseAndKeepIt) {
  DWORD disposition = 0;
  HKEY mail = Create(HKEY_LOCAL_MACHINE, u"Software\\Clients\\Mail", &disposition);
  EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
  for (const char16_t* client : {u"Zeta Mail", u"alpha", u"QVMail", u"Beta"}) RegCloseKey(Create(mail, client));
  RegCloseKey(Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\clients\\mail\\qvmail", &disposition));
  EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(SubkeyNames(mail), std::vector<std::string>({"alpha", "Beta", "QVMail", "Zeta Mail"}));

  WCHAR name[8];
  DWORD length = 5;  // "alpha" needs 6 units with the terminator
  EXPECT_EQ(RegEnumKeyExW(mail, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  length = 6;
  EXPECT_EQ(RegEnumKeyExW(mail, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(length, 5u);

  HKEY key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"software\\CLIENTS\\Mail\\missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExW(mail, nullptr, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(key).size(), 4u);
  RegCloseKey(key);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  RegCloseKey(mail);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  // The roots are separate files.
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Clients", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, QueriesAndEnumerationsFollowWin32Sizes) {
  HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Qv\\Sizes");
  const Bytes text = TextBytes(std::u16string_view(u"twelve\0", 7));
  ASSERT_EQ(RegSetValueExW(key, u"Text", 0, REG_SZ, text.data(), 14), ERROR_SUCCESS);
  const DWORD number = 7;
  ASSERT_EQ(RegSetValueExW(key, u"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"TEXT", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(size, 14u);
  BYTE buffer[32] = {};
  size = 13;
  EXPECT_EQ(RegQueryValueExW(key, u"Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 14u);
  EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, buffer, &size), ERROR_FILE_NOT_FOUND);

  // Values are listed in the order they were made; a later change keeps the place.
  ASSERT_EQ(RegSetValueExW(key, u"text", 0, REG_BINARY, buffer, 2), ERROR_SUCCESS);
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    WCHAR name[32];
    DWORD length = 32;
    size = sizeof buffer;
    const LSTATUS status = RegEnumValueW(key, index, name, &length, nullptr, &type, buffer, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(status, ERROR_SUCCESS);
    names.push_back(CString(name).ToUtf8() + "/" + std::to_string(type) + "/" + std::to_string(size));
  }
  EXPECT_EQ(names, std::vector<std::string>({"Text/3/2", "Number/4/4"}));
  WCHAR shortName[4];
  DWORD length = 4;
  EXPECT_EQ(RegEnumValueW(key, 0, shortName, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

  EXPECT_EQ(RegDeleteValueW(key, u"NUMBER"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key, u"Number"), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(Registry, DeletingKeys) {
  HKEY parent = Create(HKEY_LOCAL_MACHINE, u"SYSTEM\\ControlSet001\\Control\\Class\\dev0\\Events");
  HKEY event = Create(parent, u"ScanButton");
  const Bytes name = TextBytes(std::u16string_view(u"Scan\0", 5));
  RegSetValueExW(event, nullptr, 0, REG_SZ, name.data(), static_cast<DWORD>(name.size()));
  HKEY device;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"system\\controlset001\\control\\class\\DEV0", 0, KEY_ALL_ACCESS, &device),
            ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(device, u"Events"), ERROR_ACCESS_DENIED);  // it has subkeys
  EXPECT_EQ(RegDeleteKeyW(device, u"events\\scanbutton"), ERROR_SUCCESS);
  EXPECT_EQ(Query(event, nullptr), (Stored {0xFFFF, {ERROR_KEY_DELETED & 0xFF}}));
  EXPECT_EQ(RegDeleteKeyW(device, u"Events\\ScanButton"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(device, u"Events"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(device, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(SubkeyNames(device).empty());
  for (HKEY key : {parent, event, device}) EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(m_folder.Read("config/HKEY_LOCAL_MACHINE.reg").find("Events"), std::string::npos);
}

TEST_F(Registry, AFailedWriteIsReportedAndLeavesNothingBehind) {
  m_folder.Write("blocker", "a file where the folder should be");
  ScopedEnvironment blocked("QV_REGISTRY_DIR", m_folder.Native("blocker/config").c_str());
  HKEY key = nullptr;
  EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Qv", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Qv", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  const BYTE data[1] = {1};
  EXPECT_NE(RegSetValueExW(HKEY_CURRENT_USER, u"x", 0, REG_BINARY, data, 1), ERROR_SUCCESS);
  EXPECT_EQ(Query(HKEY_CURRENT_USER, u"x"), (Stored {0xFFFF, {ERROR_FILE_NOT_FOUND}}));
}
