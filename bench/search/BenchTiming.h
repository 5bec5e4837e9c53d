#pragma once
// What the search benchmarks share: seconds since a moment, the median of runs, and a whole
// process timed with its output read.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

inline double Seconds(const std::chrono::steady_clock::time_point& since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Runs the command, reads its output and answers the seconds it took (-1 when it failed); the
// output in `output`.
inline double Run(const std::string& command, std::string& output) {
  const auto start = std::chrono::steady_clock::now();
  output.clear();
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  return pclose(pipe) == 0 ? Seconds(start) : -1;
}
