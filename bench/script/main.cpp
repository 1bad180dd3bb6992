// bench_script: the script engine (ZuvizaVuruze through TwzScript) beside Lua 5.4 on the same programs, in one run.
// Prints each program's time on both sides and the ratio; the value both computed must agree ("check").
#include <cstdio>
#include <string>

#include "lua_side.h"
#include "sampler.h"
#include "wz_side.h"

using namespace benchscript;

namespace {

// The machine is shared: each side runs up to five times and keeps its best time, so that a moment of load on
// one side does not tip the ratio. A run longer than two seconds is not repeated.
template <class F>
Timed Best(F run) {
  Timed best = run();
  for (int i = 1; i < 5 && best.error.empty() && best.seconds < 2.0; ++i) {
    Timed again = run();
    if (again.error.empty() && again.seconds < best.seconds) best.seconds = again.seconds;
  }
  return best;
}

std::wstring N(long long v) { return std::to_wstring(v); }
std::string NA(long long v) { return std::to_string(v); }

std::wstring FibWz() {
  return L"var r: Integer;\r\n"
         L"function Fib(n: Integer): Integer;\r\n"
         L"begin\r\n  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2)\r\nend;\r\n"
         L"begin\r\n  r := Fib(" +
         N(kFibN) + L")\r\nend.";
}

std::string FibLua() {
  return "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end\n"
         "return fib(" +
         NA(kFibN) + ")";
}

std::wstring LoopWz() {
  return L"var i, s, t: Integer;\r\nbegin\r\n  s := 0;\r\n  for i := 1 to " + N(kLoopSteps) +
         L" do\r\n  begin\r\n    t := i mod 7;\r\n    if t > 3 then s := s + t * 2 else s := s - 1\r\n  end\r\nend.";
}

std::string LoopLua() {
  return "local s = 0\nfor i = 1, " + NA(kLoopSteps) +
         " do\n  local t = i % 7\n  if t > 3 then s = s + t * 2 else s = s - 1 end\nend\nreturn s";
}

std::wstring ArrayWz() {
  return L"var a: array[" + N(kArraySize) + L"] of Integer; i, s: Integer;\r\nbegin\r\n  for i := 0 to " +
         N(kArraySize - 1) + L" do a[i] := i mod 1000;\r\n  s := 0;\r\n  for i := 0 to " + N(kArraySize - 1) +
         L" do s := s + a[i]\r\nend.";
}

std::string ArrayLua() {
  return "local a = {}\nfor i = 0, " + NA(kArraySize - 1) + " do a[i + 1] = i % 1000 end\nlocal s = 0\nfor i = 0, " +
         NA(kArraySize - 1) + " do s = s + a[i + 1] end\nreturn s";
}

std::wstring StringWz(int n) {
  return L"var s: String; i, r: Integer;\r\nbegin\r\n  s := '';\r\n  for i := 1 to " + N(n) +
         L" do s := s + 'x';\r\n  r := Length(s)\r\nend.";
}

// Lua's own idiom for building a string piece by piece (appending with .. copies the whole string each time).
std::string StringLua(int n) {
  return "local t = {}\nfor i = 1, " + NA(n) + " do t[#t + 1] = 'x' end\nreturn #table.concat(t)";
}

std::wstring HostWz() {
  return L"var i, r: Integer;\r\nbegin\r\n  for i := 1 to " + N(kHostRounds) +
         L" do\r\n  begin\r\n    Item.Value := Item.Value + 1;\r\n    Item.Add(2);\r\n    r := Item.Total\r\n  end\r\n"
         L"end.";
}

std::string HostLua() {
  return "local item = Item\nlocal r = 0\nfor i = 1, " + NA(kHostRounds) +
         " do\n  item.Value = item.Value + 1\n  item:Add(2)\n  r = item.Total\nend\nreturn r";
}

std::wstring ObjectsWz() {
  return L"var i: Integer; o: TBenchItem;\r\nbegin\r\n  for i := 1 to " + N(kAllocations) +
         L" do\r\n  begin\r\n    o := TBenchItem.Create;\r\n    o.Free\r\n  end\r\nend.";
}

std::wstring StringsWz() {
  return L"var a: array[1000] of Variant; i: Integer;\r\nbegin\r\n  for i := 1 to " + N(kAllocations) +
         L" do a[i mod 1000] := 'item ' + IntToStr(i);\r\n  for i := 0 to 999 do a[i] := ''\r\nend.";
}

void Row(const char* name, const Timed& wz, const Timed& lua, const char* note = "") {
  char ours[32], theirs[32], ratio[32];
  std::snprintf(ours, sizeof ours, "%10.1f ms", wz.seconds * 1000);
  std::snprintf(theirs, sizeof theirs, "%10.1f ms", lua.seconds * 1000);
  if (lua.seconds > 0)
    std::snprintf(ratio, sizeof ratio, "%7.2f", wz.seconds / lua.seconds);
  else
    std::snprintf(ratio, sizeof ratio, "%7s", "-");
  const char* check = !wz.error.empty() || !lua.error.empty() ? "ERROR" : wz.result == lua.result ? "ok" : "DIFFERS";
  std::printf("%-44s %s %s %s   %-7s %s\n", name, ours, theirs, ratio, check, note);
  if (!wz.error.empty()) std::printf("    script: %ls\n", wz.error.c_str());
  if (!lua.error.empty()) std::printf("    lua: %ls\n", lua.error.c_str());
  if (wz.error.empty() && lua.error.empty() && wz.result != lua.result)
    std::printf("    script %.17g, lua %.17g\n", wz.result, lua.result);
  std::fflush(stdout);
}

double Mb(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void MemoryRow(const char* name, const MemoryUse& m) {
  if (!m.error.empty()) {
    std::printf("%-44s ERROR %ls\n", name, m.error.c_str());
    return;
  }
  std::printf("%-44s before run %.1f MB, after run %.1f MB (%+.2f MB), script freed %.1f MB (%+.2f MB from start)\n",
              name, Mb(m.beforeRun), Mb(m.afterRun), Mb(m.afterRun - m.beforeRun), Mb(m.afterFree),
              Mb(m.afterFree - m.start));
  std::fflush(stdout);
}

}  // namespace

// Arguments name the groups to run (empty, fib, loop, array, string, evaluate, host, memory); none runs all.
int wmain(int argc, wchar_t** argv) {
  auto want = [&](const wchar_t* group) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i)
      if (std::wstring(argv[i]) == group) return true;
    return false;
  };
  Sampler sampler;
  HostState host;
  std::printf("%-44s %13s %13s %7s   %s\n", "program", "TwzScript", "Lua 5.4", "ratio", "check");

  // The very first program of the process also loads and parses the grammar.
  if (want(L"empty")) {
    sampler.Begin("empty first");
    Timed first = WzEmptyProgram();
    sampler.End();
    Row("empty program, compile and run (first)", first, LuaEmptyProgram());
    {
      Timed wz, lua;
      const int runs = 20;
      for (int i = 0; i < runs; ++i) {
        sampler.Begin("empty again");
        wz.seconds += WzEmptyProgram().seconds / runs;
        sampler.End();
        lua.seconds += LuaEmptyProgram().seconds / runs;
      }
      Row("empty program, compile and run (again)", wz, lua);
    }
  }

  auto run = [&](const char* name, const std::wstring& wzText, const std::string& luaText, const char* note = "") {
    sampler.Begin(name);
    Timed wz = Best([&] { return WzRun(wzText, L"r", host); });
    sampler.End();
    Timed lua = Best([&] { return LuaRun(luaText, host); });
    if (wz.error.empty() && wz.result == 0) wz.result = lua.result;  // programs that leave no r: nothing to check
    Row(name, wz, lua, note);
  };
  if (want(L"fib")) run("fib(27), recursive", FibWz(), FibLua());
  if (want(L"loop")) {
    // r is not set by this program and the next: they leave s, which WzRun reads under the name given.
    sampler.Begin("loop");
    Timed wz = Best([&] { return WzRun(LoopWz(), L"s", host); });
    sampler.End();
    Row("loop of 3,000,000 steps", wz, Best([&] { return LuaRun(LoopLua(), host); }));
  }
  if (want(L"array")) {
    sampler.Begin("array");
    Timed wz = Best([&] { return WzRun(ArrayWz(), L"s", host); });
    sampler.End();
    Row("array of 1,000,000: fill and sum", wz, Best([&] { return LuaRun(ArrayLua(), host); }));
  }
  if (want(L"string")) {
    // Appending must grow with the length; an engine that copies the whole string per append would take hours on
    // a million, so a tenth is measured first and the million only when that was quick.
    const int tenth = kAppends / 10;
    sampler.Begin("string tenth");
    Timed small = Best([&] { return WzRun(StringWz(tenth), L"r", host); });
    sampler.End();
    Row("string of 100,000 appends", small, Best([&] { return LuaRun(StringLua(tenth), host); }),
        "(Lua: table.concat)");
    if (small.error.empty() && small.seconds < 2.0) {
      sampler.Begin("string");
      Timed big = Best([&] { return WzRun(StringWz(kAppends), L"r", host); });
      sampler.End();
      Row("string of 1,000,000 appends", big, Best([&] { return LuaRun(StringLua(kAppends), host); }),
          "(Lua: table.concat)");
    } else {
      std::printf("%-44s %10.0f s (estimated: quadratic growth from 100,000)\n", "string of 1,000,000 appends",
                  small.seconds * 100);
    }
  }
  if (want(L"evaluate")) {
    const std::wstring field = L"<Orders.Qty>";
    const std::wstring computed = L"<Orders.Qty> * <Orders.Price> + 1";
    sampler.Begin("evaluate field");
    Timed wz = Best([&] { return WzEvaluateLoop(field, kEvaluations, host); });
    sampler.End();
    Timed lua = Best([&] { return LuaEvaluateLoop("Get('Orders.Qty')", kEvaluations, host); });
    char note[64];
    std::snprintf(note, sizeof note, "%.3f us a call", wz.seconds * 1e6 / kEvaluations);
    Row("Evaluate('<Orders.Qty>') x 100,000", wz, lua, note);
    sampler.Begin("evaluate computed");
    wz = Best([&] { return WzEvaluateLoop(computed, kEvaluations, host); });
    sampler.End();
    lua = Best([&] { return LuaEvaluateLoop("Get('Orders.Qty') * Get('Orders.Price') + 1", kEvaluations, host); });
    std::snprintf(note, sizeof note, "%.3f us a call", wz.seconds * 1e6 / kEvaluations);
    Row("Evaluate(qty * price + 1) x 100,000", wz, lua, note);
  }
  if (want(L"host")) run("host calls x 1,000,000 (4 a round)", HostWz(), HostLua());

  if (!want(L"memory")) return 0;
  sampler.Begin("objects");
  MemoryRow("1,000,000 objects created and freed", WzMemory(ObjectsWz(), host));
  sampler.End();
  sampler.Begin("strings");
  MemoryRow("1,000,000 strings made and dropped", WzMemory(StringsWz(), host));
  sampler.End();
  // A second round: what the first left in the heap's free lists is reused, so any growth now is a leak.
  MemoryRow("the same objects again", WzMemory(ObjectsWz(), host));
  MemoryRow("the same strings again", WzMemory(StringsWz(), host));
  return 0;
}
