#include "platform/core/CObject.h"

#include "platform/core/codepage.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace {

struct ClassList {
  std::mutex lock;
  std::vector<CRuntimeClass*> records;
};

ClassList& Classes() {
  static ClassList* list = new ClassList;  // outlives every module's static destructors
  return *list;
}

}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};
static const AFX_CLASSINIT qvClassInit_CObject(&CObject::classCObject);

CRuntimeClass* CObject::GetThisClass() { return &classCObject; }
CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

CObject* CRuntimeClass::CreateObject() const {
  if (!m_pfnCreateObject) return nullptr;
  try {
    return m_pfnCreateObject();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  if (!base) return FALSE;
  for (const CRuntimeClass* cls = this; cls; cls = cls->GetBaseClass())
    if (cls == base) return TRUE;
  return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR className) {
  if (!className) return nullptr;
  ClassList& list = Classes();
  std::lock_guard guard(list.lock);
  for (CRuntimeClass* cls : list.records)
    if (std::strcmp(cls->m_lpszClassName, className) == 0) return cls;
  return nullptr;
}

CRuntimeClass* CRuntimeClass::FromName(LPCWSTR className) {
  return className ? FromName(WideToAnsi(className).c_str()) : nullptr;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* record) : m_record(record) {
  ClassList& list = Classes();
  std::lock_guard guard(list.lock);
  list.records.push_back(record);
}

AFX_CLASSINIT::~AFX_CLASSINIT() {
  // A module that is unloaded takes its records out of the list.
  ClassList& list = Classes();
  std::lock_guard guard(list.lock);
  list.records.erase(std::remove(list.records.begin(), list.records.end(), m_record), list.records.end());
}
