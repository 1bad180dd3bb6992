#pragma once
// Figures the report benchmarks print: durations in a unit that suits them, and the process's private memory.
#include <windows.h>

#include <cstdio>
#include <string>

namespace bench {

// "12.34 ms", "45.6 us" as suits the value.
inline std::string Duration(double seconds) {
  char buf[32];
  if (seconds >= 1)
    std::snprintf(buf, sizeof buf, "%.2f s", seconds);
  else if (seconds >= 1e-3)
    std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
  else
    std::snprintf(buf, sizeof buf, "%.1f us", seconds * 1e6);
  return buf;
}

// Committed private memory of the process, summed over its address space (the system's own counter reads 0 under
// Wine).
inline long long PrivateBytes() {
  long long total = 0;
  const char* p = nullptr;
  MEMORY_BASIC_INFORMATION info;
  while (VirtualQuery(p, &info, sizeof info) == sizeof info) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += static_cast<long long>(info.RegionSize);
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= p) break;
    p = next;
  }
  return total;
}

}  // namespace bench
