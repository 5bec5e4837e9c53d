#pragma once
// Internal to the drawing layer: which wrapper object (CDC, CGdiObject) stands for a handle.
// Attached wrappers are shared by all threads. A handle without one gets a temporary wrapper
// owned by the calling thread, kept until the thread clears its temporaries or ends; `Forget`
// empties a temporary wrapper before it is deleted, so that it never deletes the handle.

#include <memory>
#include <mutex>
#include <unordered_map>

namespace gdi {

template <class Handle, class Wrapper, void (*Forget)(Wrapper&)>
class WrapperMap {
public:
  static WrapperMap& Get() {
    static WrapperMap* map = new WrapperMap;  // lives as long as the process, as the handles do
    return *map;
  }

  void Attach(Handle handle, Wrapper* wrapper) {
    std::lock_guard guard(m_lock);
    m_attached[handle] = wrapper;
  }

  void Detach(Handle handle, Wrapper* wrapper) {
    std::lock_guard guard(m_lock);
    auto found = m_attached.find(handle);
    if (found != m_attached.end() && found->second == wrapper) m_attached.erase(found);
  }

  // The attached wrapper, or the calling thread's temporary one (made by `make` when new).
  template <class Make>
  Wrapper* Find(Handle handle, Make make) {
    {
      std::lock_guard guard(m_lock);
      auto found = m_attached.find(handle);
      if (found != m_attached.end()) return found->second;
    }
    std::unique_ptr<Wrapper>& slot = Temporaries().wrappers[handle];
    if (!slot) slot = make();
    return slot.get();
  }

  static void ClearTemporaries() { Temporaries().Clear(); }

private:
  struct TemporaryWrappers {
    std::unordered_map<Handle, std::unique_ptr<Wrapper>> wrappers;
    ~TemporaryWrappers() { Clear(); }
    void Clear() {
      for (auto& entry : wrappers) Forget(*entry.second);
      wrappers.clear();
    }
  };

  static TemporaryWrappers& Temporaries() {
    thread_local TemporaryWrappers temporaries;
    return temporaries;
  }

  std::mutex m_lock;
  std::unordered_map<Handle, Wrapper*> m_attached;
};

}  // namespace gdi
