#pragma once
// POSITION: an opaque place in a list, handed out by a list and given back to it. Lists check a
// position against the ones they handed out for entries they still hold before they use it.

#include <atomic>
#include <cstdint>
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
  size_t Count() const { return m_nodes.size(); }
  POSITION Head() const { return m_nodes.empty() ? nullptr : m_nodes.front().pos; }
  // The entry at `pos`, or null when `pos` names none of this list's entries.
  T* At(POSITION pos) const {
    auto it = m_where.find(pos);
    return it == m_where.end() ? nullptr : &it->second->value;
  }
  // The position after `pos` (null after the last entry or for a position that names nothing).
  POSITION Next(POSITION pos) const {
    auto it = m_where.find(pos);
    if (it == m_where.end()) return nullptr;
    auto next = std::next(it->second);
    return next == m_nodes.end() ? nullptr : next->pos;
  }
  POSITION AddHead(T entry) { return Insert(m_nodes.begin(), std::move(entry)); }
  POSITION AddTail(T entry) { return Insert(m_nodes.end(), std::move(entry)); }
  // Removes the entry; false when `pos` names none.
  bool Remove(POSITION pos) {
    auto it = m_where.find(pos);
    if (it == m_where.end()) return false;
    m_nodes.erase(it->second);
    m_where.erase(it);
    return true;
  }
  void Clear() {
    m_where.clear();
    m_nodes.clear();
  }

private:
  // A position is a number no list has handed out before, not an address: an entry added after
  // one was removed may lie where the removed one lay.
  struct Node {
    POSITION pos;
    T value;
  };
  using Nodes = std::list<Node>;

  POSITION Insert(typename Nodes::iterator before, T entry) {
    const POSITION pos = reinterpret_cast<POSITION>(++s_lastPosition);
    m_where.emplace(pos, m_nodes.insert(before, Node {pos, std::move(entry)}));
    return pos;
  }

  static inline std::atomic<std::uintptr_t> s_lastPosition {0};
  Nodes m_nodes;
  std::unordered_map<POSITION, typename Nodes::iterator> m_where;
};

}  // namespace qvcore
