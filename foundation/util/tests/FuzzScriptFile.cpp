// Profile files: loads the file, asks for every section, key and line it holds, then checks that
// saving is stable. The first save may still change the file (a bracket that never closes is
// written as an empty line, which the next save removes at the end of the file); saving what
// that save wrote must then give the same bytes again.

#include "foundation/util/CDPXScriptFile.h"
#include "tools/fuzz/FuzzSupport.h"

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadBytes(const CString& path) {
  std::ifstream in(path.ToUtf8(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AskEverything(CDPXScriptFile& script) {
  CDPXScriptItemList sections;
  script.GetSections(sections);
  for (POSITION pos = sections.GetHeadPosition(); pos;) {
    CString section;
    static_cast<CDPXScriptItem*>(sections.GetNext(pos))->GetSection(section);
    CDPXScriptItemList keys, lines;
    script.GetKeys(section, keys);
    script.GetLines(section, lines);
    for (POSITION at = keys.GetHeadPosition(); at;) {
      CString key, value;
      static_cast<CDPXScriptItem*>(keys.GetNext(at))->GetKey(key);
      CDPXScriptItemList items;
      script.GetKeyItems(section, key, items);
      int number = 0;
      BOOL flag = FALSE;
      script.GetString(key, value, FALSE, section);
      script.GetInt(key, number, FALSE, section);
      script.GetUInt(key, number, FALSE, section);
      fuzz::Check(number >= 0, "an unsigned number read as negative");
      script.GetBool(key, flag, FALSE, section);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CDPXScriptFile script;
  script.SetAutoSave(FALSE);
  if (!script.Open(fuzz::WriteFile("input.ini", data, size))) return 0;
  AskEverything(script);

  const CString saved[] = {fuzz::PathOf("first.ini"), fuzz::PathOf("second.ini"), fuzz::PathOf("third.ini")};
  fuzz::Check(script.Save(saved[0]), "a loaded profile could not be saved");
  for (int generation = 1; generation < 3; ++generation) {
    CDPXScriptFile reloaded;
    reloaded.SetAutoSave(FALSE);
    fuzz::Check(reloaded.Open(saved[generation - 1]), "a saved profile could not be loaded");
    fuzz::Check(reloaded.Save(saved[generation]), "a reloaded profile could not be saved");
  }
  fuzz::Check(ReadBytes(saved[1]) == ReadBytes(saved[2]), "a saved profile does not read back as written");
  return 0;
}
