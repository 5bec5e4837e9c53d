#pragma once
// CObject and run-time class records: every object of the system can tell its class, test whether
// it derives from another, and classes declared creatable can be made from their record alone.
// Records of all loaded modules join one process-wide list, so a class is also found by name.

#include "platform/core/wintypes.h"

class CObject;

struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();
  CRuntimeClass* (*m_pfnGetBaseClass)();

  // A new object of the class, or null when the class is not creatable or allocation fails.
  CObject* CreateObject() const;
  // TRUE when this class is `base` or derives from it (null is derived from nothing).
  BOOL IsDerivedFrom(const CRuntimeClass* base) const;
  CRuntimeClass* GetBaseClass() const { return m_pfnGetBaseClass ? m_pfnGetBaseClass() : nullptr; }
  // The record of a loaded class by its C++ name, or null.
  static CRuntimeClass* FromName(LPCSTR className);
  static CRuntimeClass* FromName(LPCWSTR className);
};

// Adds a record to the process-wide list; one static instance per IMPLEMENT_DYNAMIC.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* record);
  ~AFX_CLASSINIT();
  CRuntimeClass* m_record;
};

class CObject {
public:
  virtual ~CObject() = default;
  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* cls) const;
  static CRuntimeClass* GetThisClass();
  static CRuntimeClass classCObject;

protected:
  CObject() = default;

private:
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                       \
public:                                                   \
  static CRuntimeClass class##class_name;                 \
  static CRuntimeClass* GetThisClass();                   \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define QV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create)                              \
  CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), schema, create,            \
                                                 &base_class_name::GetThisClass};                            \
  static const AFX_CLASSINIT qvClassInit_##class_name(&class_name::class##class_name);                      \
  CRuntimeClass* class_name::GetThisClass() { return &class_name::class##class_name; }                       \
  CRuntimeClass* class_name::GetRuntimeClass() const { return &class_name::class##class_name; }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  QV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                  \
  CObject* class_name::CreateObject() { return new class_name; }           \
  QV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, &class_name::CreateObject)
