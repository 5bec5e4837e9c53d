#pragma once
// A small deterministic generator (SplitMix64), so that a set made from the same seed is the same
// byte for byte on every machine.

#include <cstdint>
#include <string>
#include <vector>

class Random {
public:
  explicit Random(uint64_t seed) : m_state(seed) {}

  uint64_t Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from `low` to `high`, both included.
  int Range(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1)); }
  bool Chance(int percent) { return Range(0, 99) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& items) { return items[Next() % items.size()]; }

private:
  uint64_t m_state;
};
