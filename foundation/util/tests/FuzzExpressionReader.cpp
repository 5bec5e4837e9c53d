// The expression reader: walks a text (its bytes taken as UTF-16LE code units) token by token. The
// first byte picks which of the number readers and which skipping rules are used, so that every
// reader meets every text.

#include "foundation/util/CQVGEI.h"
#include "tools/fuzz/FuzzSupport.h"

#include <string>

namespace {

void ReadNumber(CQVGEI& reader, WCHAR& current, int kind) {
  CString text;
  int integer = 0;
  double decimal = 0;
  switch (kind) {
  case 0: reader.Get_Int(current, integer); break;
  case 1: reader.Get_Int_Sign(current, integer); break;
  case 2: reader.Get_Int_NoSign(current, integer); break;
  case 3: reader.Get_Float(current, decimal); break;
  case 4: reader.Get_Float_Sign(current, decimal); break;
  case 5: reader.Get_Float_NoSign(current, decimal); break;
  case 6: reader.Get_Int(current, text); break;
  default: reader.Get_Float(current, text); break;
  }
  LONGLONG wide = 0;
  CQVGEI::StrToValue(text, wide);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0];
  std::u16string units;
  for (size_t i = 1; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  CQVGEI reader;
  reader.SetExpression(CString(units));
  const BOOL keepBlank = mode & 0x08, keepTab = mode & 0x10, keepLineBreak = mode & 0x20;

  WCHAR current = reader.Get(keepBlank, keepTab, keepLineBreak);
  int steps = 0;
  while (!CQVGEI::Is_EOF(current)) {
    fuzz::Check(++steps <= static_cast<int>(units.size()) + 1, "the reader does not move on");
    const int before = reader.GetReadPtr();
    CString text;
    WCHAR value = 0;
    int code = 0;
    if (CQVGEI::Is_CharDelimiter(current)) {
      code = (mode & 0x40) ? reader.Get_Char(current, value) : reader.Get_Char(current, text);
    } else if (CQVGEI::Is_StringDelimiter(current)) {
      code = reader.Get_String(current, text);
    } else if (CQVGEI::Is_0_9(current) || current == u'+' || current == u'-' || current == u'.') {
      ReadNumber(reader, current, mode & 0x07);
      code = reader.GetReadPtr() == before ? 1 : 0;
    } else {
      code = 1;
    }
    fuzz::Check(reader.GetReadPtr() >= before && reader.GetReadPtr() <= static_cast<int>(units.size()),
                "the read position left the text");
    // A token that failed, or a character no reader takes, is passed over.
    if (code != 0) current = reader.Get(keepBlank, keepTab, keepLineBreak);
  }
  return 0;
}
