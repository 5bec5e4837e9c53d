// The dialog-script reader and each module's templates.

#include "platform/ui/win/dialogtemplate.h"

#include "platform/core/CDynLinkLibrary.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/comctl/commctrl.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace {

#define QV_FLAG(name) {#name, static_cast<DWORD>(name)}
const std::map<std::string_view, DWORD>& Flags() {
  static const std::map<std::string_view, DWORD> flags = {
      QV_FLAG(WS_OVERLAPPED), QV_FLAG(WS_POPUP), QV_FLAG(WS_CHILD), QV_FLAG(WS_MINIMIZE), QV_FLAG(WS_VISIBLE),
      QV_FLAG(WS_DISABLED), QV_FLAG(WS_CLIPSIBLINGS), QV_FLAG(WS_CLIPCHILDREN), QV_FLAG(WS_MAXIMIZE),
      QV_FLAG(WS_CAPTION), QV_FLAG(WS_BORDER), QV_FLAG(WS_DLGFRAME), QV_FLAG(WS_VSCROLL), QV_FLAG(WS_HSCROLL),
      QV_FLAG(WS_SYSMENU), QV_FLAG(WS_THICKFRAME), QV_FLAG(WS_GROUP), QV_FLAG(WS_TABSTOP),
      QV_FLAG(WS_MINIMIZEBOX), QV_FLAG(WS_MAXIMIZEBOX), QV_FLAG(WS_OVERLAPPEDWINDOW), QV_FLAG(WS_POPUPWINDOW),
      QV_FLAG(WS_EX_DLGMODALFRAME), QV_FLAG(WS_EX_NOPARENTNOTIFY), QV_FLAG(WS_EX_TOPMOST),
      QV_FLAG(WS_EX_ACCEPTFILES), QV_FLAG(WS_EX_TRANSPARENT), QV_FLAG(WS_EX_TOOLWINDOW),
      QV_FLAG(WS_EX_WINDOWEDGE), QV_FLAG(WS_EX_CLIENTEDGE), QV_FLAG(WS_EX_CONTEXTHELP),
      QV_FLAG(WS_EX_CONTROLPARENT), QV_FLAG(WS_EX_STATICEDGE), QV_FLAG(WS_EX_APPWINDOW),
      QV_FLAG(DS_ABSALIGN), QV_FLAG(DS_SYSMODAL), QV_FLAG(DS_3DLOOK), QV_FLAG(DS_FIXEDSYS),
      QV_FLAG(DS_NOFAILCREATE), QV_FLAG(DS_LOCALEDIT), QV_FLAG(DS_SETFONT), QV_FLAG(DS_MODALFRAME),
      QV_FLAG(DS_NOIDLEMSG), QV_FLAG(DS_SETFOREGROUND), QV_FLAG(DS_CONTROL), QV_FLAG(DS_CENTER),
      QV_FLAG(DS_CENTERMOUSE), QV_FLAG(DS_CONTEXTHELP), QV_FLAG(DS_SHELLFONT),
      QV_FLAG(BS_PUSHBUTTON), QV_FLAG(BS_DEFPUSHBUTTON), QV_FLAG(BS_CHECKBOX), QV_FLAG(BS_AUTOCHECKBOX),
      QV_FLAG(BS_RADIOBUTTON), QV_FLAG(BS_3STATE), QV_FLAG(BS_AUTO3STATE), QV_FLAG(BS_GROUPBOX),
      QV_FLAG(BS_USERBUTTON), QV_FLAG(BS_AUTORADIOBUTTON), QV_FLAG(BS_OWNERDRAW), QV_FLAG(BS_LEFTTEXT),
      QV_FLAG(BS_TEXT), QV_FLAG(BS_ICON), QV_FLAG(BS_BITMAP), QV_FLAG(BS_LEFT), QV_FLAG(BS_RIGHT),
      QV_FLAG(BS_CENTER), QV_FLAG(BS_TOP), QV_FLAG(BS_BOTTOM), QV_FLAG(BS_VCENTER), QV_FLAG(BS_PUSHLIKE),
      QV_FLAG(BS_MULTILINE), QV_FLAG(BS_NOTIFY), QV_FLAG(BS_FLAT),
      QV_FLAG(SS_LEFT), QV_FLAG(SS_CENTER), QV_FLAG(SS_RIGHT), QV_FLAG(SS_ICON), QV_FLAG(SS_BLACKRECT),
      QV_FLAG(SS_GRAYRECT), QV_FLAG(SS_WHITERECT), QV_FLAG(SS_BLACKFRAME), QV_FLAG(SS_GRAYFRAME),
      QV_FLAG(SS_WHITEFRAME), QV_FLAG(SS_SIMPLE), QV_FLAG(SS_LEFTNOWORDWRAP), QV_FLAG(SS_OWNERDRAW),
      QV_FLAG(SS_BITMAP), QV_FLAG(SS_ETCHEDHORZ), QV_FLAG(SS_ETCHEDVERT), QV_FLAG(SS_ETCHEDFRAME),
      QV_FLAG(SS_NOPREFIX), QV_FLAG(SS_NOTIFY), QV_FLAG(SS_CENTERIMAGE), QV_FLAG(SS_RIGHTJUST),
      QV_FLAG(SS_SUNKEN), QV_FLAG(SS_ENDELLIPSIS), QV_FLAG(SS_PATHELLIPSIS),
      QV_FLAG(ES_LEFT), QV_FLAG(ES_CENTER), QV_FLAG(ES_RIGHT), QV_FLAG(ES_MULTILINE), QV_FLAG(ES_UPPERCASE),
      QV_FLAG(ES_LOWERCASE), QV_FLAG(ES_PASSWORD), QV_FLAG(ES_AUTOVSCROLL), QV_FLAG(ES_AUTOHSCROLL),
      QV_FLAG(ES_NOHIDESEL), QV_FLAG(ES_OEMCONVERT), QV_FLAG(ES_READONLY), QV_FLAG(ES_WANTRETURN),
      QV_FLAG(ES_NUMBER),
      QV_FLAG(CBS_SIMPLE), QV_FLAG(CBS_DROPDOWN), QV_FLAG(CBS_DROPDOWNLIST), QV_FLAG(CBS_OWNERDRAWFIXED),
      QV_FLAG(CBS_OWNERDRAWVARIABLE), QV_FLAG(CBS_AUTOHSCROLL), QV_FLAG(CBS_OEMCONVERT), QV_FLAG(CBS_SORT),
      QV_FLAG(CBS_HASSTRINGS), QV_FLAG(CBS_NOINTEGRALHEIGHT), QV_FLAG(CBS_DISABLENOSCROLL),
      QV_FLAG(CBS_UPPERCASE), QV_FLAG(CBS_LOWERCASE),
      QV_FLAG(LBS_NOTIFY), QV_FLAG(LBS_SORT), QV_FLAG(LBS_NOREDRAW), QV_FLAG(LBS_MULTIPLESEL),
      QV_FLAG(LBS_OWNERDRAWFIXED), QV_FLAG(LBS_OWNERDRAWVARIABLE), QV_FLAG(LBS_HASSTRINGS),
      QV_FLAG(LBS_USETABSTOPS), QV_FLAG(LBS_NOINTEGRALHEIGHT), QV_FLAG(LBS_MULTICOLUMN),
      QV_FLAG(LBS_WANTKEYBOARDINPUT), QV_FLAG(LBS_EXTENDEDSEL), QV_FLAG(LBS_DISABLENOSCROLL),
      QV_FLAG(LBS_NOSEL), QV_FLAG(LBS_STANDARD),
      QV_FLAG(SBS_HORZ), QV_FLAG(SBS_VERT), QV_FLAG(PBS_SMOOTH), QV_FLAG(PBS_VERTICAL),
      QV_FLAG(TVS_HASBUTTONS), QV_FLAG(TVS_HASLINES), QV_FLAG(TVS_LINESATROOT), QV_FLAG(TVS_EDITLABELS),
      QV_FLAG(TVS_DISABLEDRAGDROP), QV_FLAG(TVS_SHOWSELALWAYS), QV_FLAG(TVS_CHECKBOXES), QV_FLAG(TVS_TRACKSELECT),
      QV_FLAG(TVS_SINGLEEXPAND), QV_FLAG(TVS_FULLROWSELECT), QV_FLAG(TCS_BOTTOM), QV_FLAG(TCS_MULTILINE),
      QV_FLAG(LVS_ICON), QV_FLAG(LVS_REPORT), QV_FLAG(LVS_SMALLICON), QV_FLAG(LVS_LIST), QV_FLAG(LVS_SINGLESEL),
      QV_FLAG(LVS_SHOWSELALWAYS), QV_FLAG(LVS_OWNERDRAWFIXED), QV_FLAG(LVS_NOCOLUMNHEADER), QV_FLAG(LVS_NOSORTHEADER),
      QV_FLAG(SBARS_SIZEGRIP), QV_FLAG(SBT_TOOLTIPS), QV_FLAG(CCS_TOP), QV_FLAG(CCS_BOTTOM), QV_FLAG(CCS_NORESIZE),
      QV_FLAG(CCS_NOPARENTALIGN),
      QV_FLAG(UDS_WRAP), QV_FLAG(UDS_SETBUDDYINT), QV_FLAG(UDS_ALIGNRIGHT), QV_FLAG(UDS_ALIGNLEFT),
      QV_FLAG(UDS_AUTOBUDDY), QV_FLAG(UDS_ARROWKEYS), QV_FLAG(UDS_HORZ), QV_FLAG(UDS_NOTHOUSANDS),
  };
  return flags;
}
#undef QV_FLAG

const std::map<std::string_view, int>& StandardIds() {
  static const std::map<std::string_view, int> ids = {
      {"IDOK", IDOK},       {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY},
      {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES},     {"IDNO", IDNO},       {"IDHELP", 9},
      {"IDC_STATIC", IDC_STATIC},
  };
  return ids;
}

struct Token {
  std::string text;
  bool quoted {};
};

// Splits a line into words and quoted texts; nullopt when a quote is not closed.
std::optional<std::vector<Token>> Tokenize(std::string_view line) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '|') {
      tokens.push_back({"|", false});
      ++i;
    } else if (c == '"') {
      std::string text;
      ++i;
      for (;;) {
        if (i >= line.size()) return std::nullopt;
        char d = line[i++];
        if (d == '"') {
          if (i < line.size() && line[i] == '"') {
            text += '"';
            ++i;
            continue;
          }
          break;
        }
        if (d == '\\' && i < line.size()) {
          char e = line[i++];
          text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
          continue;
        }
        text += d;
      }
      tokens.push_back({text, true});
    } else {
      size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '|' && line[i] != '"')
        ++i;
      tokens.push_back({std::string(line.substr(start, i - start)), false});
    }
  }
  return tokens;
}

std::optional<long long> Number(const std::string& word) {
  if (word.empty() || word.size() > 12) return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if (word[0] == '-') {
    negative = true;
    i = 1;
  }
  int base = 10;
  if (word.size() > i + 2 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= word.size()) return std::nullopt;
  long long value = 0;
  for (; i < word.size(); ++i) {
    char c = word[i];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    if (digit >= base) return std::nullopt;
    value = value * base + digit;
  }
  return negative ? -value : value;
}

class Reader {
public:
  explicit Reader(std::vector<std::string>* errors) : m_errors(errors) {}

  std::vector<DialogTemplate> Read(std::string_view text) {
    size_t start = 0;
    int lineNo = 0;
    while (start <= text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      ++lineNo;
      Line(text.substr(start, end - start), lineNo);
      start = end + 1;
    }
    if (m_current) Fail(lineNo, "the dialog is not closed with end");
    return std::move(m_done);
  }

private:
  void Fail(int lineNo, const std::string& what) {
    if (m_errors) m_errors->push_back("line " + std::to_string(lineNo) + ": " + what);
    m_current.reset();
    m_skipping = true;
  }

  // Flags from tokens[i] on, up to the end or a word in `stop`; "NOT X" takes X away.
  std::optional<std::pair<DWORD, DWORD>> ReadFlags(const std::vector<Token>& t, size_t& i, int lineNo) {
    DWORD add = 0, remove = 0;
    bool expectFlag = true, negate = false;
    while (i < t.size()) {
      const Token& token = t[i];
      if (!token.quoted && token.text == "exstyle") break;
      if (!token.quoted && token.text == "|") {
        if (expectFlag) return Bad(lineNo, "a flag is missing before '|'");
        expectFlag = true;
        ++i;
        continue;
      }
      if (!expectFlag) return Bad(lineNo, "flags must be joined with '|'");
      if (!token.quoted && token.text == "NOT") {
        negate = true;
        ++i;
        continue;
      }
      DWORD value = 0;
      if (auto it = Flags().find(token.text); !token.quoted && it != Flags().end()) value = it->second;
      else if (auto n = Number(token.text); !token.quoted && n && *n >= 0 && *n <= 0xFFFFFFFFLL) value = static_cast<DWORD>(*n);
      else return Bad(lineNo, "unknown flag " + token.text);
      (negate ? remove : add) |= value;
      negate = false;
      expectFlag = false;
      ++i;
    }
    if (expectFlag && (add | remove)) return Bad(lineNo, "a flag is missing after '|'");
    return std::make_pair(add, remove);
  }

  std::nullopt_t Bad(int lineNo, const std::string& what) {
    Fail(lineNo, what);
    return std::nullopt;
  }

  std::optional<short> Coordinate(const Token& t, int lineNo) {
    auto n = t.quoted ? std::nullopt : Number(t.text);
    if (!n || *n < -32768 || *n > 32767) return Bad(lineNo, "not a dialog-unit number: " + t.text);
    return static_cast<short>(*n);
  }

  std::optional<int> ItemId(const Token& t, int lineNo) {
    if (!t.quoted) {
      if (auto it = StandardIds().find(t.text); it != StandardIds().end()) return it->second;
      if (auto it = m_defines.find(t.text); it != m_defines.end()) return it->second;
      if (auto n = Number(t.text); n && *n >= -1 && *n <= 0xFFFF) return static_cast<int>(*n);
    }
    return Bad(lineNo, "not an item ID: " + t.text);
  }

  void Line(std::string_view raw, int lineNo) {
    auto tokens = Tokenize(raw);
    if (!tokens) {
      if (!m_skipping) Fail(lineNo, "a text is not closed");
      return;
    }
    std::vector<Token>& t = *tokens;
    if (t.empty() || (!t[0].quoted && t[0].text[0] == '#')) return;
    const std::string& word = t[0].quoted ? std::string() : t[0].text;
    if (word == "dialog") {
      if (m_current && !m_skipping) return Fail(lineNo, "dialog inside a dialog");
      m_skipping = false;
      if (t.size() != 6) return Fail(lineNo, "dialog needs a name or ID and x y cx cy");
      m_current = std::make_unique<DialogTemplate>();
      auto n = t[1].quoted ? std::nullopt : Number(t[1].text);
      if (n && *n > 0 && *n <= 0xFFFF) m_current->id = static_cast<WORD>(*n);
      else if (!n && !t[1].quoted) m_current->name = CString::FromUtf8(t[1].text);
      else return Fail(lineNo, "not a dialog name or ID: " + t[1].text);
      short* fields[] = {&m_current->x, &m_current->y, &m_current->cx, &m_current->cy};
      for (int k = 0; k < 4; ++k) {
        auto c = Coordinate(t[2 + k], lineNo);
        if (!c) return;
        *fields[k] = *c;
      }
      return;
    }
    if (word == "define") {
      if (m_skipping && m_current) return;
      auto n = t.size() == 3 && !t[2].quoted ? Number(t[2].text) : std::nullopt;
      if (!n || t[1].quoted || *n < -1 || *n > 0xFFFF) return Fail(lineNo, "define needs a name and a number");
      m_defines[t[1].text] = static_cast<int>(*n);
      return;
    }
    if (m_skipping) {
      if (word == "end") {
        m_skipping = false;
        m_current.reset();
      }
      return;
    }
    if (!m_current) return Fail(lineNo, "outside a dialog: " + word);
    DialogTemplate& d = *m_current;
    if (word == "end") {
      if (t.size() != 1) return Fail(lineNo, "end takes nothing");
      m_done.push_back(std::move(d));
      m_current.reset();
    } else if (word == "style" || word == "exstyle") {
      size_t i = 1;
      auto flags = ReadFlags(t, i, lineNo);
      if (!flags) return;
      if (i != t.size()) return Fail(lineNo, "unexpected words after the flags");
      (word == "style" ? d.style : d.exStyle) = flags->first & ~flags->second;
    } else if (word == "caption") {
      if (t.size() != 2 || !t[1].quoted) return Fail(lineNo, "caption needs one text");
      d.caption = CString::FromUtf8(t[1].text);
    } else if (word == "font") {
      auto n = t.size() == 3 && !t[1].quoted && t[2].quoted ? Number(t[1].text) : std::nullopt;
      if (!n || *n <= 0 || *n > 72) return Fail(lineNo, "font needs a size in points and a face");
      d.pointSize = static_cast<WORD>(*n);
      d.faceName = CString::FromUtf8(t[2].text);
    } else if (word == "item") {
      if (t.size() < 8 || !t[3].quoted) return Fail(lineNo, "item needs a class, an ID, a text and x y cx cy");
      DialogItemTemplate item;
      item.className = CString::FromUtf8(t[1].text);
      auto id = ItemId(t[2], lineNo);
      if (!id) return;
      item.id = *id;
      item.text = CString::FromUtf8(t[3].text);
      short* fields[] = {&item.x, &item.y, &item.cx, &item.cy};
      for (int k = 0; k < 4; ++k) {
        auto c = Coordinate(t[4 + k], lineNo);
        if (!c) return;
        *fields[k] = *c;
      }
      size_t i = 8;
      auto flags = ReadFlags(t, i, lineNo);
      if (!flags) return;
      item.style = ((WS_CHILD | WS_VISIBLE) | flags->first) & ~flags->second;
      if (i < t.size()) {
        ++i;  // exstyle
        auto ex = ReadFlags(t, i, lineNo);
        if (!ex) return;
        if (i != t.size()) return Fail(lineNo, "unexpected words after the extended flags");
        item.exStyle = ex->first & ~ex->second;
      }
      d.items.push_back(std::move(item));
    } else {
      Fail(lineNo, "unknown word " + word);
    }
  }

  std::vector<std::string>* m_errors {};
  std::unique_ptr<DialogTemplate> m_current;
  bool m_skipping {};
  std::map<std::string, int> m_defines;
  std::vector<DialogTemplate> m_done;
};

struct ModuleTemplates {
  std::vector<std::pair<const char*, const char*>> scripts;  // name, text
  bool read {};
  std::vector<DialogTemplate> templates;
};

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

// Each module's record keeps its place, so templates handed out stay where they are.
std::vector<std::pair<HINSTANCE, std::unique_ptr<ModuleTemplates>>>& Modules() {
  static std::vector<std::pair<HINSTANCE, std::unique_ptr<ModuleTemplates>>> modules;
  return modules;
}

ModuleTemplates* ModuleOf(HINSTANCE module) {
  for (auto& [m, t] : Modules())
    if (m == module) return t.get();
  return nullptr;
}

const DialogTemplate* FindIn(ModuleTemplates& m, LPCWSTR name) {
  if (!m.read) {
    m.read = true;
    for (auto& [scriptName, text] : m.scripts) {
      std::vector<std::string> errors;
      auto read = ParseDialogScript(text, &errors);
      for (const std::string& e : errors) std::fprintf(stderr, "dialog script %s: %s\n", scriptName, e.c_str());
      for (auto& d : read) m.templates.push_back(std::move(d));
    }
  }
  for (const DialogTemplate& d : m.templates) {
    if (IS_INTRESOURCE(name)) {
      if (d.id && d.id == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name))) return &d;
    } else if (!d.name.IsEmpty() && d.name.CompareNoCase(name) == 0) {
      return &d;
    }
  }
  return nullptr;
}

std::vector<HINSTANCE> SearchOrder() {
  std::vector<HINSTANCE> order {AfxGetResourceHandle(), AfxGetInstanceHandle()};
  for (CDynLinkLibrary* library : AfxGetDynLinkLibraries()) {
    if (library->m_hResource) order.push_back(library->m_hResource);
    if (library->m_hModule) order.push_back(library->m_hModule);
  }
  for (auto& [m, t] : Modules()) order.push_back(m);
  return order;
}

}  // namespace

std::vector<DialogTemplate> ParseDialogScript(std::string_view text, std::vector<std::string>* errors) {
  return Reader(errors).Read(text);
}

void RegisterDialogScript(HINSTANCE module, const char* scriptName, const char* text) {
  std::lock_guard<std::mutex> guard(Lock());
  ModuleTemplates* m = ModuleOf(module);
  if (!m) {
    Modules().emplace_back(module, std::make_unique<ModuleTemplates>());
    m = Modules().back().second.get();
  }
  m->scripts.emplace_back(scriptName, text);
  m->read = false;
  m->templates.clear();
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCWSTR name) {
  if (!name) return nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  if (module) {
    ModuleTemplates* m = ModuleOf(module);
    return m ? FindIn(*m, name) : nullptr;
  }
  for (HINSTANCE candidate : SearchOrder())
    if (ModuleTemplates* m = ModuleOf(candidate))
      if (const DialogTemplate* d = FindIn(*m, name)) return d;
  return nullptr;
}

HINSTANCE FindDialogTemplateModule(LPCWSTR name) {
  if (!name) return nullptr;
  std::lock_guard<std::mutex> guard(Lock());
  for (HINSTANCE candidate : SearchOrder())
    if (ModuleTemplates* m = ModuleOf(candidate))
      if (FindIn(*m, name)) return candidate;
  return nullptr;
}
