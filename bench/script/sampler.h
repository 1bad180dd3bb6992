#pragma once
// A sampling profiler for the benchmark thread: valgrind and perf cannot look inside a Windows program under Wine,
// so a timer thread stops the measured thread every quarter millisecond and records its call stack (unwound with
// the x64 unwind tables). Started when TAVREL_BENCH_PROFILE names a file; each line of that file is one sample,
// the addresses of its frames innermost first, as offsets from the executable's load address plus its preferred
// image base, ready for addr2line (bench/script/profile.py sums them per function).
#include <string>

namespace benchscript {

class Sampler {
public:
  // Does nothing unless the variable is set.
  Sampler();
  ~Sampler();
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  // Only samples taken between Begin and End count; the label starts a section of the file.
  void Begin(const std::string& label);
  void End();

private:
  struct Impl;
  Impl* impl_ = nullptr;
};

}  // namespace benchscript
