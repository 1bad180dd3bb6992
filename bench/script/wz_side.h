#pragma once
// The script engine's side of bench_script: ZuvizaVuruze programs run through TwzScript.
#include <string>

#include "cases.h"

namespace benchscript {

struct Timed {
  double seconds = 0;
  double result = 0;
  std::wstring error;
};

Timed WzRun(const std::wstring& source, const wchar_t* resultVariable, HostState& host);
// Calls Evaluate on the expression once per record, summing the answers.
Timed WzEvaluateLoop(const std::wstring& expression, int records, HostState& host);
// Creates, compiles and runs an empty program (the first call also loads the grammar).
Timed WzEmptyProgram();
// Private bytes before and after a program that allocates and frees objects or strings.
struct MemoryUse {
  long long start = 0, beforeRun = 0, afterRun = 0, afterFree = 0;
  std::wstring error;
};
MemoryUse WzMemory(const std::wstring& source, HostState& host);

}  // namespace benchscript
