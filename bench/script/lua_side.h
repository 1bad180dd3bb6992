#pragma once
// The yardstick's side of bench_script: the same programs in Lua 5.4.
#include <string>

#include "cases.h"
#include "wz_side.h"

namespace benchscript {

Timed LuaRun(const std::string& source, HostState& host);
Timed LuaEvaluateLoop(const std::string& expression, int records, HostState& host);
Timed LuaEmptyProgram();

}  // namespace benchscript
