#pragma once
// The programs bench_script runs, each written once for the script engine and once for Lua 5.4, and the host
// objects both sides reach. The two texts of a case compute the same value, which the benchmark compares.
#include <string>

namespace benchscript {

// What every case's host side sees: a record the field expressions read and an object scripts drive.
struct HostState {
  int record = 0;       // the current record of the report-style loop
  long long value = 0;  // the host object's published property
  long long total = 0;  // what the host object's method accumulates
};

constexpr int kFibN = 27;
constexpr int kLoopSteps = 3000000;
constexpr int kArraySize = 1000000;
constexpr int kAppends = 1000000;
constexpr int kEvaluations = 100000;
constexpr int kHostRounds = 250000;  // four host calls a round
constexpr int kAllocations = 1000000;

// The field value Get answers for a record, on both sides.
inline double FieldValue(const std::wstring& name, int record) {
  if (name == L"Orders.Qty") return record % 10;
  if (name == L"Orders.Price") return 2.5;
  return 0;
}

}  // namespace benchscript
