#pragma once
// POSITION: an opaque place in a list, handed out by a list and given back to it. Lists check a
// position against their own nodes before they use it.

#include <iterator>
#include <list>
#include <unordered_map>

struct QvListPosition;
using POSITION = QvListPosition*;

namespace qvcore {

// The entries of a list or map in their order, each with a POSITION that stays valid until the
// entry is removed. A position the list did not hand out, or one of a removed entry, names nothing.
template <class T>
class PositionList {
public:
  using Entries = std::list<T>;

  size_t Count() const { return m_entries.size(); }
  POSITION Head() const { return m_entries.empty() ? nullptr : PositionOf(m_entries.front()); }
  // The entry at `pos`, or null when `pos` names none of this list's entries.
  T* At(POSITION pos) const {
    auto it = m_where.find(pos);
    return it == m_where.end() ? nullptr : &*it->second;
  }
  // The position after `pos` (null after the last entry or for a position that names nothing).
  POSITION Next(POSITION pos) const {
    auto it = m_where.find(pos);
    if (it == m_where.end()) return nullptr;
    auto next = std::next(it->second);
    return next == m_entries.end() ? nullptr : PositionOf(*next);
  }
  POSITION AddHead(T entry) { return Insert(m_entries.begin(), std::move(entry)); }
  POSITION AddTail(T entry) { return Insert(m_entries.end(), std::move(entry)); }
  // Removes the entry; false when `pos` names none.
  bool Remove(POSITION pos) {
    auto it = m_where.find(pos);
    if (it == m_where.end()) return false;
    m_entries.erase(it->second);
    m_where.erase(it);
    return true;
  }
  void Clear() {
    m_where.clear();
    m_entries.clear();
  }

private:
  static POSITION PositionOf(const T& entry) { return reinterpret_cast<POSITION>(const_cast<T*>(&entry)); }
  POSITION Insert(typename Entries::iterator before, T entry) {
    auto it = m_entries.insert(before, std::move(entry));
    POSITION pos = PositionOf(*it);
    m_where.emplace(pos, it);
    return pos;
  }

  Entries m_entries;
  std::unordered_map<POSITION, typename Entries::iterator> m_where;
};

}  // namespace qvcore
