#pragma once
// Timing for the data-layer benchmark: the best of several runs (the machine may be busy; the best run is the one
// least disturbed), printed beside the peer's figure from the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace bench {

// Seconds taken by the best of `runs` calls of fn.
inline double Best(int runs, const std::function<void()>& fn) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    fn();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// The least of `runs` figures that fn measures itself (for work with a set-up that is not to be counted).
inline double BestMeasured(int runs, const std::function<double()>& fn) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) best = std::min(best, fn());
  return best;
}

inline double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// "12.3 ms", "45.6 us" as suits the value.
inline std::string Duration(double seconds) {
  char buf[32];
  if (seconds >= 1)
    std::snprintf(buf, sizeof buf, "%.2f s", seconds);
  else if (seconds >= 1e-3)
    std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
  else
    std::snprintf(buf, sizeof buf, "%.2f us", seconds * 1e6);
  return buf;
}

// One line: what was measured, ours, the peer's, the ratio and the goal.
inline void Compare(const char* what, double ours, double peer, double goalRatio) {
  double ratio = ours / peer;
  std::printf("%-44s ours %10s   sqlite3 %10s   ratio %5.2f (goal <= %.1f) %s\n", what, Duration(ours).c_str(),
              Duration(peer).c_str(), ratio, goalRatio, ratio <= goalRatio ? "met" : "NOT MET");
  std::fflush(stdout);
}

// One line beside the peer, where no ratio is asked for.
inline void Beside(const char* what, double ours, double peer) {
  std::printf("%-44s ours %10s   sqlite3 %10s   ratio %5.2f\n", what, Duration(ours).c_str(), Duration(peer).c_str(),
              ours / peer);
  std::fflush(stdout);
}

// One line without a peer: ours against an absolute goal.
inline void Against(const char* what, double ours, double goalSeconds) {
  std::printf("%-44s ours %10s   goal < %s %s\n", what, Duration(ours).c_str(), Duration(goalSeconds).c_str(),
              ours < goalSeconds ? "met" : "NOT MET");
  std::fflush(stdout);
}

}  // namespace bench
