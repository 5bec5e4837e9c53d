#pragma once
// COleDataObject: what a drop target is shown of the data being dragged. Inside this program the
// object stands for the dragging data source; it offers no clipboard format of its own.

#include "platform/ui/ole/DropEffect.h"

class COleDataSource;

class COleDataObject {
public:
  COleDataObject() = default;
  COleDataObject(const COleDataObject&) = delete;
  COleDataObject& operator=(const COleDataObject&) = delete;

  // Stands for the source from now on (replacing the one before).
  void Attach(COleDataSource* source) { m_source = source; }
  COleDataSource* Detach() {
    COleDataSource* source = m_source;
    m_source = nullptr;
    return source;
  }
  BOOL IsAttached() const { return m_source != nullptr; }
  // Whether the data can be had in this format: never, as long as sources offer none.
  BOOL IsDataAvailable(CLIPFORMAT) const { return FALSE; }

private:
  COleDataSource* m_source {};
};
