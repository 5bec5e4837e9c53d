#include "platform/core/registry.h"

#include "platform/core/CAtomicFile.h"
#include "platform/core/CString.h"
#include "platform/core/codepage.h"
#include "platform/core/coreinternal.h"
#include "platform/core/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <unordered_set>
#include <vector>

struct HKEY__ {
  int root;
  std::vector<std::u16string> path;  // names as stored, from the root down
};

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
constexpr int kRootCount = 3;

struct NoCaseLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](WCHAR x, WCHAR y) { return FoldLower(x) < FoldLower(y); });
  }
};

bool SameNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](WCHAR x, WCHAR y) { return FoldLower(x) == FoldLower(y); });
}

struct Value {
  std::u16string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Key {
  std::u16string name;
  std::map<std::u16string, std::unique_ptr<Key>, NoCaseLess> subkeys;
  std::vector<Value> values;

  Value* FindValue(std::u16string_view valueName) {
    for (Value& value : values)
      if (SameNoCase(value.name, valueName)) return &value;
    return nullptr;
  }
  Key* Child(const std::u16string& childName) {
    auto found = subkeys.find(childName);
    return found == subkeys.end() ? nullptr : found->second.get();
  }
  Key* MakeChild(const std::u16string& childName) {
    auto& slot = subkeys[childName];
    if (!slot) {
      slot = std::make_unique<Key>();
      slot->name = childName;
    }
    return slot.get();
  }
};

// One root key and the file it was read from. The file's identity tells when another process
// has replaced it.
struct Store {
  std::string file;
  bool loaded = false;
  bool existed = false;
  struct stat identity {};
  Key tree;
};

struct Registry {
  std::mutex lock;
  Store stores[kRootCount];
  std::unordered_set<HKEY__*> open;
};

Registry& TheRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

// ---- the text file ---------------------------------------------------------------------------

std::u16string UnitsOf(const std::vector<BYTE>& data) {
  std::u16string units(data.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return units;
}

std::vector<BYTE> BytesOf(std::u16string_view units) {
  std::vector<BYTE> data;
  data.reserve(units.size() * 2);
  for (char16_t unit : units) {
    data.push_back(static_cast<BYTE>(unit & 0xFF));
    data.push_back(static_cast<BYTE>(unit >> 8));
  }
  return data;
}

// The short escapes, both ways.
constexpr struct {
  char16_t unit;
  const char* escape;
} kEscapes[] = {{u'\0', "\\0"}, {u'\t', "\\t"}, {u'\n', "\\n"}, {u'\r', "\\r"}};

const char* EscapeOf(char16_t unit) {
  for (const auto& entry : kEscapes)
    if (entry.unit == unit) return entry.escape;
  return nullptr;
}

bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

std::string Quoted(std::u16string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    const bool pair = i + 1 < text.size() && unit >= 0xD800 && unit <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) {
      out += WideToUtf8(text.substr(i++, 2));
    } else if (unit == u'\\' || unit == u'"') {
      out.append(1, '\\').append(1, static_cast<char>(unit));
    } else if (const char* escape = EscapeOf(unit)) {
      out += escape;
    } else if (unit < 0x20 || unit == 0x7F || IsSurrogate(unit)) {
      char escape[7];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
      out += escape;
    } else {
      out += WideToUtf8(text.substr(i, 1));
    }
  }
  return out + "\"";
}

std::string HexList(const std::vector<BYTE>& data) {
  std::string out;
  char byte[4];
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", data[i]);
    out += byte;
  }
  return out;
}

std::string ValueText(const Value& value) {
  const bool evenText = value.data.size() % 2 == 0;
  if (value.type == REG_SZ && evenText) return Quoted(UnitsOf(value.data));
  if (value.type == REG_EXPAND_SZ && evenText) return "expand:" + Quoted(UnitsOf(value.data));
  if (value.type == REG_DWORD && value.data.size() == 4) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x",
                  static_cast<unsigned>(value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) | (DWORD(value.data[3]) << 24)));
    return digits;
  }
  if (value.type == REG_BINARY) return "hex:" + HexList(value.data);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
  return prefix + HexList(value.data);
}

// A key with values or without subkeys gets its own line; the others are implied by their
// subkeys' paths.
void WriteKey(std::string& out, const Key& key, const std::u16string& path) {
  if (!key.values.empty() || (key.subkeys.empty() && !path.empty())) out += "\n[" + WideToUtf8(path) + "]\n";
  for (const Value& value : key.values)
    out += (value.name.empty() ? std::string("@") : Quoted(value.name)) + "=" + ValueText(value) + "\n";
  for (const auto& [childName, child] : key.subkeys)
    WriteKey(out, *child, path.empty() ? child->name : path + u"\\" + child->name);
}

// Reads a quoted string at `at` (which holds '"'); false when it is malformed.
bool ReadQuoted(std::string_view line, size_t& at, std::u16string& text) {
  if (at >= line.size() || line[at] != '"') return false;
  text.clear();
  size_t run = ++at;
  auto flush = [&] { text += Utf8ToWide(line.substr(run, at - run)); };
  while (at < line.size()) {
    const char ch = line[at];
    if (ch == '"') {
      flush();
      ++at;
      return true;
    }
    if (ch != '\\') {
      ++at;
      continue;
    }
    flush();
    if (at + 1 >= line.size()) return false;
    const char escaped = line[at + 1];
    if (escaped == '\\' || escaped == '"') {
      text += static_cast<char16_t>(escaped);
      at += 2;
    } else if (const auto* entry = std::find_if(std::begin(kEscapes), std::end(kEscapes), [&](const auto& e) { return e.escape[1] == escaped; });
               entry != std::end(kEscapes)) {
      text += entry->unit;
      at += 2;
    } else if (escaped == 'u' && at + 6 <= line.size()) {
      unsigned unit = 0;
      for (size_t i = at + 2; i < at + 6; ++i) {
        const char digit = line[i];
        if (!std::isxdigit(static_cast<unsigned char>(digit))) return false;
        unit = unit * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(digit)) ? digit - '0' : (digit | 0x20) - 'a' + 10);
      }
      text += static_cast<char16_t>(unit);
      at += 6;
    } else {
      return false;
    }
    run = at;
  }
  return false;
}

bool ReadHexList(std::string_view text, std::vector<BYTE>& data) {
  data.clear();
  if (text.empty()) return true;
  for (size_t at = 0;; at += 3) {
    if (at + 2 > text.size() || !std::isxdigit(static_cast<unsigned char>(text[at])) ||
        !std::isxdigit(static_cast<unsigned char>(text[at + 1])))
      return false;
    data.push_back(static_cast<BYTE>(std::stoul(std::string(text.substr(at, 2)), nullptr, 16)));
    if (at + 2 == text.size()) return true;
    if (text[at + 2] != ',') return false;
  }
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Reads "name=data"; false for a line that is not one.
bool ReadValue(std::string_view line, Value& value) {
  size_t at = 0;
  if (line[0] == '@') {
    value.name.clear();
    at = 1;
  } else if (!ReadQuoted(line, at, value.name)) {
    return false;
  }
  if (at >= line.size() || line[at] != '=') return false;
  std::string_view data = line.substr(at + 1);
  while (!data.empty() && (data.back() == ' ' || data.back() == '\t')) data.remove_suffix(1);
  std::u16string text;
  size_t start = 0;
  if (data.starts_with('"') || StartsWith(data, "expand:\"")) {
    value.type = data.starts_with('"') ? REG_SZ : REG_EXPAND_SZ;
    start = value.type == REG_SZ ? 0 : 7;
    if (!ReadQuoted(data, start, text) || start != data.size()) return false;
    value.data = BytesOf(text);
    return true;
  }
  if (StartsWith(data, "dword:")) {
    const std::string_view digits = data.substr(6);
    if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
      return false;
    const DWORD number = static_cast<DWORD>(std::stoul(std::string(digits), nullptr, 16));
    value.type = REG_DWORD;
    value.data = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8), static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
    return true;
  }
  if (StartsWith(data, "hex:")) {
    value.type = REG_BINARY;
    return ReadHexList(data.substr(4), value.data);
  }
  if (StartsWith(data, "hex(")) {
    const size_t close = data.find("):");
    const std::string_view digits = data.substr(4, close == std::string_view::npos ? 0 : close - 4);
    if (digits.empty() || digits.size() > 8 || !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
      return false;
    value.type = static_cast<DWORD>(std::stoul(std::string(digits), nullptr, 16));
    return ReadHexList(data.substr(close + 2), value.data);
  }
  return false;
}

std::vector<std::u16string> SplitKeyPath(std::u16string_view path) {
  std::vector<std::u16string> names;
  for (size_t at = 0; at <= path.size();) {
    const size_t slash = std::min(path.find(u'\\', at), path.size());
    if (slash > at) names.emplace_back(path.substr(at, slash - at));
    at = slash + 1;
  }
  return names;
}

Key* MakePath(Key& root, const std::vector<std::u16string>& names) {
  Key* key = &root;
  for (const auto& name : names) key = key->MakeChild(name);
  return key;
}

// Key names hold no control characters: a name with one (a NUL above all) could not be passed
// to the calls that open and make keys.
bool ValidKeyName(std::u16string_view name) {
  return std::none_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0x20; });
}

// The limits of a registry tree. A key line beyond them is damage: the tree is walked by
// recursion when it is written, and must stay as shallow as a real registry's.
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxKeyNameLength = 255;

bool IsValidKeyPath(const std::vector<std::u16string>& names) {
  return names.size() <= kMaxKeyDepth && std::all_of(names.begin(), names.end(), [](const std::u16string& name) {
           return name.size() <= kMaxKeyNameLength && ValidKeyName(name);
         });
}

// Lines that are not understood are passed over, so a damaged line costs only itself (a damaged
// key line costs its values too).
void Parse(const std::string& text, Key& root) {
  Key* current = nullptr;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.rfind(']');
      current = nullptr;
      if (close == std::string::npos) continue;
      const std::vector<std::u16string> names = SplitKeyPath(Utf8ToWide(std::string_view(line).substr(1, close - 1)));
      if (IsValidKeyPath(names)) current = MakePath(root, names);
      continue;
    }
    Value value;
    if (!current || !ReadValue(line, value)) continue;
    if (Value* existing = current->FindValue(value.name)) {
      *existing = std::move(value);
    } else {
      current->values.push_back(std::move(value));
    }
  }
}

// ---- stores ----------------------------------------------------------------------------------

std::string RegistryFolder() {
  if (auto dir = qvcore::ReadEnvironment("QV_REGISTRY_DIR"); dir && !dir->empty()) return *dir;
  if (auto config = qvcore::ReadEnvironment("XDG_CONFIG_HOME"); config && !config->empty()) return *config + "/qv";
  if (auto home = qvcore::ReadEnvironment("HOME"); home && !home->empty()) return *home + "/.config/qv";
  return {};
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
         a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Brings the store up to date with its file. Called under the registry's lock.
LSTATUS Refresh(int root) {
  Store& store = TheRegistry().stores[root];
  const std::string folder = RegistryFolder();
  if (folder.empty()) return ERROR_PATH_NOT_FOUND;
  const std::string file = folder + "/" + kRootNames[root] + ".reg";
  struct stat st;
  const bool exists = ::stat(file.c_str(), &st) == 0;
  if (store.loaded && store.file == file && store.existed == exists && (!exists || SameFile(store.identity, st)))
    return ERROR_SUCCESS;
  store.tree = Key {};
  store.file = file;
  store.loaded = true;
  store.existed = exists;
  if (!exists) return ERROR_SUCCESS;
  store.identity = st;
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in.good() && !in.eof()) {
    store.loaded = false;
    return ERROR_CANTREAD;
  }
  Parse(text.str(), store.tree);
  return ERROR_SUCCESS;
}

int MakeFolders(const std::string& folder) {
  for (size_t at = 1; at <= folder.size(); ++at) {
    if (at < folder.size() && folder[at] != '/') continue;
    if (::mkdir(folder.substr(0, at).c_str(), 0777) != 0 && errno != EEXIST) return errno;
  }
  return 0;
}

// Writes the store to its file. On failure the store is read again at the next call, so that
// what callers see is what the file holds.
LSTATUS Save(int root) {
  Store& store = TheRegistry().stores[root];
  std::string text = std::string("; ") + kRootNames[root] + "\n";
  WriteKey(text, store.tree, u"");
  CAtomicFile file;
  CFileException error;
  const size_t slash = store.file.rfind('/');
  int failure = MakeFolders(store.file.substr(0, slash));
  if (!failure && !file.Open(PathFromNative(store.file), CFile::modeReadWrite, &error)) failure = static_cast<int>(error.m_lOsError);
  if (!failure) {
    try {
      file.Write(text.data(), static_cast<UINT>(text.size()));
      if (!file.Commit(&error)) failure = static_cast<int>(error.m_lOsError);
    } catch (CFileException* e) {
      failure = static_cast<int>(e->m_lOsError);
      e->Delete();
    }
  }
  struct stat st;
  if (failure || ::stat(store.file.c_str(), &st) != 0) {
    store.loaded = false;
    return failure ? static_cast<LSTATUS>(ErrorFromErrno(failure)) : ERROR_CANTWRITE;
  }
  store.identity = st;
  store.existed = true;
  return ERROR_SUCCESS;
}

int RootIndex(HKEY key) {
  for (int root = 0; root < kRootCount; ++root)
    if (key == reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u + static_cast<unsigned>(root)))) return root;
  return -1;
}

// Where a handle leads: its root, the names down to its key, and the key.
struct Place {
  int root = 0;
  std::vector<std::u16string> path;
  Key* key = nullptr;
};

// Finds the key a handle names, with the store brought up to date. Called under the lock.
LSTATUS Locate(HKEY handle, Place& place) {
  place.root = RootIndex(handle);
  if (place.root < 0) {
    if (!TheRegistry().open.count(handle)) return ERROR_INVALID_HANDLE;
    place.root = handle->root;
    place.path = handle->path;
  }
  if (const LSTATUS status = Refresh(place.root)) return status;
  place.key = &TheRegistry().stores[place.root].tree;
  for (const auto& name : place.path)
    if (!(place.key = place.key->Child(name))) return ERROR_KEY_DELETED;
  return ERROR_SUCCESS;
}

// Runs `action` on the key a handle names, under the registry's lock.
template <class Action>
LSTATUS AtKey(HKEY handle, Action action) {
  Registry& registry = TheRegistry();
  std::lock_guard guard(registry.lock);
  Place place;
  if (const LSTATUS status = Locate(handle, place)) return status;
  return action(place);
}

HKEY NewHandle(int root, std::vector<std::u16string> path) {
  auto* handle = new HKEY__ {root, std::move(path)};
  TheRegistry().open.insert(handle);
  return handle;
}

// Copies a name under Win32's rule for enumerations: *length holds the buffer's size and
// receives the name's length.
LSTATUS CopyName(std::u16string_view name, LPWSTR buffer, LPDWORD length) {
  if (!buffer || !length) return ERROR_INVALID_PARAMETER;
  if (name.size() >= *length) return ERROR_MORE_DATA;
  *length = qvcore::CopyToBuffer(name, buffer, *length);
  return ERROR_SUCCESS;
}

LSTATUS CopyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (type) *type = value.type;
  const auto size = static_cast<DWORD>(value.data.size());
  if (data && !dataSize) return ERROR_INVALID_PARAMETER;
  if (!dataSize) return ERROR_SUCCESS;
  const DWORD room = *dataSize;
  *dataSize = size;
  if (!data) return ERROR_SUCCESS;
  if (room < size) return ERROR_MORE_DATA;
  std::copy(value.data.begin(), value.data.end(), data);
  return ERROR_SUCCESS;
}

std::u16string_view ViewOf(LPCWSTR text) { return text ? std::u16string_view(text) : std::u16string_view(); }

}  // namespace

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  return AtKey(key, [&](Place& at) {
    for (const auto& name : SplitKeyPath(ViewOf(subKey))) {
      if (!(at.key = at.key->Child(name))) return LSTATUS(ERROR_FILE_NOT_FOUND);
      at.path.push_back(at.key->name);
    }
    *result = NewHandle(at.root, std::move(at.path));
    return LSTATUS(ERROR_SUCCESS);
  });
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                        LPDWORD disposition) {
  if (!result) return ERROR_INVALID_PARAMETER;
  const std::vector<std::u16string> names = SplitKeyPath(ViewOf(subKey));
  if (!std::all_of(names.begin(), names.end(), ValidKeyName)) return ERROR_INVALID_PARAMETER;
  return AtKey(key, [&](Place& at) {
    bool created = false;
    for (const auto& name : names) {
      Key* child = at.key->Child(name);
      if (!child) {
        child = at.key->MakeChild(name);
        created = true;
      }
      at.key = child;
      at.path.push_back(child->name);
    }
    if (created) {
      if (const LSTATUS status = Save(at.root)) return status;
    }
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle(at.root, std::move(at.path));
    return LSTATUS(ERROR_SUCCESS);
  });
}

LSTATUS RegCloseKey(HKEY key) {
  if (RootIndex(key) >= 0) return ERROR_SUCCESS;
  Registry& registry = TheRegistry();
  std::lock_guard guard(registry.lock);
  if (!registry.open.erase(key)) return ERROR_INVALID_HANDLE;
  delete key;
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  return AtKey(key, [&](Place& at) {
    const Value* value = at.key->FindValue(ViewOf(valueName));
    return value ? CopyData(*value, type, data, dataSize) : LSTATUS(ERROR_FILE_NOT_FOUND);
  });
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
  if (!data && dataSize) return ERROR_INVALID_PARAMETER;
  return AtKey(key, [&](Place& at) {
    Value* value = at.key->FindValue(ViewOf(valueName));
    if (!value) {
      at.key->values.push_back(Value {std::u16string(ViewOf(valueName)), REG_NONE, {}});
      value = &at.key->values.back();
    }
    value->type = type;
    value->data.assign(data, data + dataSize);
    return Save(at.root);
  });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
  return AtKey(key, [&](Place& at) {
    const Value* value = at.key->FindValue(ViewOf(valueName));
    if (!value) return LSTATUS(ERROR_FILE_NOT_FOUND);
    at.key->values.erase(at.key->values.begin() + (value - at.key->values.data()));
    return Save(at.root);
  });
}

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  const std::vector<std::u16string> names = SplitKeyPath(ViewOf(subKey));
  if (names.empty()) return ERROR_INVALID_PARAMETER;
  return AtKey(key, [&](Place& at) {
    for (size_t i = 0; i + 1 < names.size(); ++i)
      if (!(at.key = at.key->Child(names[i]))) return LSTATUS(ERROR_FILE_NOT_FOUND);
    const Key* target = at.key->Child(names.back());
    if (!target) return LSTATUS(ERROR_FILE_NOT_FOUND);
    if (!target->subkeys.empty()) return LSTATUS(ERROR_ACCESS_DENIED);
    at.key->subkeys.erase(names.back());
    return Save(at.root);
  });
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR keyClass, LPDWORD classLength,
                      PFILETIME lastWriteTime) {
  return AtKey(key, [&](Place& at) {
    if (index >= at.key->subkeys.size()) return LSTATUS(ERROR_NO_MORE_ITEMS);
    const Key& child = *std::next(at.key->subkeys.begin(), index)->second;
    if (const LSTATUS status = CopyName(child.name, name, nameLength)) return status;
    if (keyClass && classLength && *classLength) keyClass[0] = 0;
    if (classLength) *classLength = 0;
    if (lastWriteTime) *lastWriteTime = FILETIME {};
    return LSTATUS(ERROR_SUCCESS);
  });
}

LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR valueName, LPDWORD valueNameLength, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
  return AtKey(key, [&](Place& at) {
    if (index >= at.key->values.size()) return LSTATUS(ERROR_NO_MORE_ITEMS);
    const Value& value = at.key->values[index];
    if (const LSTATUS status = CopyName(value.name, valueName, valueNameLength)) return status;
    return CopyData(value, type, data, dataSize);
  });
}
