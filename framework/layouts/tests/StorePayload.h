#pragma once
// The dock state that the shared-store test's writers save in round n: large enough that copying a
// layout takes a while, and different for every writer and round.

#include <string>

inline std::string Payload(const std::string& tag, int round) {
  const std::string unit = tag + "-" + std::to_string(round) + ";";
  std::string bytes;
  while (bytes.size() < 64 * 1024) bytes += unit;
  return bytes;
}
