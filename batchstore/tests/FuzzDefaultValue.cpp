// Default-value expressions over a fixed set of tags: whatever the expression, the value is
// found or the parse fault answered, the accuracy is that of the tags used, and a value found is
// never blank.

#include "batchstore/jobs/CQVJDEDefaultValueTags.h"
#include "batchstore/jobs/CQVJDEHelper.h"
#include "tools/fuzz/FuzzSupport.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CQVJDEDefaultValueTags* tags = [] {
    auto* made = new CQVJDEDefaultValueTags;
    made->SetTag(u"Barcode", u"4711", 6500);
    made->SetTag(u"Blank", u"   ", 9000);
    made->SetTag(u"ScanDate", 2024, 2, 29, 13, 5, 9, 8000);
    made->SetTag(u"Amount", u"-1234.5", -1, -1, -1, -1, -1, -1, 10000);
    return made;
  }();
  const CString expression = CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const int parsed = CQVJDEHelper::VerifyDefaultValueExp(expression, *tags, FALSE);
  for (BOOL strict : { FALSE, TRUE }) {
    CString value(u"before");
    int accuracy = -1;
    const int code = CQVJDEHelper::GetDefaultValue(expression, *tags, value, accuracy, strict);
    fuzz::Check(parsed == 0 || code == parsed, "evaluating does not answer the expression's own fault");
    if (code != 0) {
      fuzz::Check(value == u"before", "a refused expression changed the value");
      continue;
    }
    fuzz::Check(accuracy >= 0 && accuracy <= 10000, "the accuracy is not one of the tags' or certain");
    CString trimmed(value);
    fuzz::Check(!value.IsEmpty() || accuracy == 0, "an empty value came with an accuracy");
    fuzz::Check(value.IsEmpty() || !trimmed.Trim().IsEmpty(), "a blank alternative won");
  }
  return 0;
}
