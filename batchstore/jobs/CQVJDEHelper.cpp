#include "batchstore/jobs/CQVJDEHelper.h"

#include "batchstore/jobs/CQVJDEDefaultValue.h"
#include "batchstore/jobs/CQVJDEInputMask.h"
#include "batchstore/jobs/CQVJDEOutputMask.h"
#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"

void CQVJDEHelper::GetErrorMessage(int code, CString& text) {
  text.Empty();
  CQVRCM::LoadText(u"JDE_ERR_MESSAGETEMPLATE", text, QVKernelInstance());
  CString number, key, message;
  number.Format(u"%d", code);
  text.Replace(u"<%code%>", number);
  key.Format(u"JDE_ERR_%05d", code);
  if (!CQVRCM::LoadText(key, message, QVKernelInstance())) message.Empty();
  text.Replace(u"<%message%>", message);
}

int CQVJDEHelper::VerifyInputMask(LPCWSTR mask) {
  __CQVJDEInputMaskItemList list;
  return __CQVJDEInputMaskItemList::Parse(mask, list);
}

int CQVJDEHelper::ValidateInput(LPCWSTR mask, LPCWSTR text, int& year, int& month, int& day, int& hour, int& minute,
                                int& second) {
  __CQVJDEInputMaskItemList list;
  if (int code = __CQVJDEInputMaskItemList::Parse(mask, list)) return code;
  return __CQVJDEInputMaskItemList::Validate(list, CString(text ? text : u""), year, month, day, hour, minute, second);
}

int CQVJDEHelper::ValidateInput(LPCWSTR mask, LPCWSTR text) {
  int year, month, day, hour, minute, second;
  return ValidateInput(mask, text, year, month, day, hour, minute, second);
}

namespace {

int ParseTimeOnly(LPCWSTR mask, __CQVJDEInputMaskItemList& list) {
  if (int code = __CQVJDEInputMaskItemList::Parse(mask, list)) return code;
  if (list.GetCount() > 1) return QVJDE::errInTimeNotAlone;
  return list.Item(0)->m_nKind == __CQVJDEInputMaskItem::kindTime ? 0 : QVJDE::errInTimeSyntax;
}

}  // namespace

int CQVJDEHelper::VerifyInputMaskTime(LPCWSTR mask) {
  __CQVJDEInputMaskItemList list;
  return ParseTimeOnly(mask, list);
}

int CQVJDEHelper::ValidateInputTime(LPCWSTR mask, LPCWSTR text, int& year, int& month, int& day, int& hour,
                                    int& minute, int& second) {
  __CQVJDEInputMaskItemList list;
  if (int code = ParseTimeOnly(mask, list)) return code;
  return __CQVJDEInputMaskItemList::Validate(list, CString(text ? text : u""), year, month, day, hour, minute, second);
}

int CQVJDEHelper::GetMaxTextLength(LPCWSTR mask) { return __CQVJDEInputMaskItemList::GetMaxTextLength(mask); }

int CQVJDEHelper::VerifyOutputMask(LPCWSTR mask) {
  __CQVJDEOutputMaskItemList list;
  return __CQVJDEOutputMaskItemList::Parse(mask, list);
}

int CQVJDEHelper::FormatOutput(LPCWSTR mask, LPCWSTR value, int year, int month, int day, int hour, int minute,
                               int second, BOOL strictRange, BOOL strictNumber, BOOL strictDate, CString& out) {
  __CQVJDEOutputMaskItemList list;
  if (int code = __CQVJDEOutputMaskItemList::Parse(mask, list)) return code;
  const CString text(value ? value : u"");
  if (list.GetCount() > 0)
    return __CQVJDEOutputMaskItemList::Format(list, text, year, month, day, hour, minute, second, strictRange,
                                              strictNumber, strictDate, out);
  if (!text.IsEmpty()) {
    out = text;
    return 0;
  }
  out.Empty();
  if (year <= 0 && month <= 0 && day <= 0 && hour < 0 && minute < 0 && second < 0) return 0;
  CString date, time;
  if (!DateToStr(year, month, day, date)) return QVJDE::errFmtDate;
  if (!TimeToStr(hour, minute, second, time)) return QVJDE::errFmtTime;
  out = date + time;
  return 0;
}

int CQVJDEHelper::VerifyDefaultValueExp(LPCWSTR expression, const CQVJDEDefaultValueTags& tags, BOOL checkTags) {
  __CQVJDEDefaultValueOptionList list;
  if (int code = __CQVJDEDefaultValueOptionList::Parse(expression, list)) return code;
  return checkTags ? __CQVJDEDefaultValueOptionList::CheckTags(list, tags) : 0;
}

int CQVJDEHelper::GetDefaultValue(LPCWSTR expression, const CQVJDEDefaultValueTags& tags, CString& value,
                                  int& accuracy, BOOL strict) {
  __CQVJDEDefaultValueOptionList list;
  if (int code = __CQVJDEDefaultValueOptionList::Parse(expression, list)) return code;
  if (strict)
    if (int code = __CQVJDEDefaultValueOptionList::CheckTags(list, tags)) return code;
  return __CQVJDEDefaultValueOptionList::Evaluate(list, tags, value, accuracy, strict);
}
