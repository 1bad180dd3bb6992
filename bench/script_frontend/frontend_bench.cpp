// How the script compiler's time grows with its input: each shape of program at four sizes, each twice the last.
// Time per KB should stay flat from one size to the next (a ratio near 1 in the last column); a ratio near 2
// means the time grows with the square of the size. The deep shapes pass the depth the translator takes at the
// larger sizes, so those measure how fast a too-deep program is refused; the "taken" shapes stay below the limits.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/rtl/strings.h"
#include "script/sampler.h"
#include "script/wz_script.h"

using rtl::String;
using Clock = std::chrono::steady_clock;

namespace {

String Repeat(const String& s, int n) {
  String out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

struct Shape {
  const char* name;
  const wchar_t* language;
  int base;  // the smallest size's count
  std::function<String(int)> text;
};

double CompileSeconds(TwzScript& script, const wchar_t* language, const String& text, bool& compiled) {
  script.Clear();
  script.SetSyntaxType(language);
  script.SetText(text);
  const auto start = Clock::now();
  compiled = script.Compile();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int wmain() {
  TwzScript script;
  script.AddRTTI();
  benchscript::Sampler sampler;
  const Shape shapes[] = {
      {"statements", L"ZuvizaVuruze", 5000,
       [](int n) {
         String t = L"var a, i: Integer; s: String;\r\nbegin\r\n";
         for (int i = 0; i < n; ++i) t += L"  a := a + " + rtl::IntToStr(i) + L" * (i - 1); s := s + 'x';\r\n";
         return t + L"end.";
       }},
      {"routines", L"ZuvizaVuruze", 1000,
       [](int n) {
         String t;
         for (int i = 0; i < n; ++i)
           t += L"function F" + rtl::IntToStr(i) +
                L"(a: Integer): Integer; var b: Integer; begin b := a; Result := b + " + rtl::IntToStr(i) +
                L" end;\r\n";
         return t + L"begin F0(1) end.";
       }},
      {"long string", L"ZuvizaVuruze", 50000,
       [](int n) { return L"var s: String; begin s := '" + Repeat(L"ab", n) + L"' end."; }},
      {"long expression", L"ZuvizaVuruze", 200,
       [](int n) { return L"var a: Integer; begin a := 1" + Repeat(L" + a * 2", n) + L" end."; }},
      {"JScript statements", L"JScript", 5000,
       [](int n) { return Repeat(L"a = a + 1; if (a > 3) { b = a; } else b = 2;\r\n", n); }},
      {"nested parentheses", L"ZuvizaVuruze", 8750,
       [](int n) { return L"begin a := " + Repeat(L"(", n) + L"1" + Repeat(L")", n) + L" end."; }},
      {"nested blocks", L"ZuvizaVuruze", 8750,
       [](int n) { return L"begin " + Repeat(L"begin ", n) + Repeat(L"end; ", n) + L"end."; }},
      {"nested ifs", L"ZuvizaVuruze", 8750,
       [](int n) { return L"var a, b: Integer; begin " + Repeat(L"if a then ", n) + L"b := 1 end."; }},
      // Nesting the compiler takes, up to near its depth limits: the compiled program's depth grows with the text.
      {"taken parentheses", L"ZuvizaVuruze", 100,
       [](int n) { return L"var a: Integer; begin a := " + Repeat(L"(", n) + L"1" + Repeat(L")", n) + L" end."; }},
      {"taken blocks", L"ZuvizaVuruze", 60,
       [](int n) { return L"begin " + Repeat(L"begin ", n) + Repeat(L"end; ", n) + L"end."; }},
      {"taken ifs", L"ZuvizaVuruze", 60,
       [](int n) { return L"var a, b: Integer; begin " + Repeat(L"if a > 0 then ", n) + L"b := 1 end."; }},
      {"unclosed parentheses", L"ZuvizaVuruze", 8750,
       [](int n) { return L"begin a := " + Repeat(L"(", n) + L"1 end."; }},
  };
  std::printf("%-22s %10s %8s %10s %12s %10s\n", "shape", "count", "KB", "compiled", "ms", "ms/KB");
  for (const Shape& shape : shapes) {
    double previous = 0;
    for (int step = 0; step < 4; ++step) {
      const int n = shape.base << step;
      const String text = shape.text(n);
      bool compiled = false;
      sampler.Begin(std::string(shape.name) + " " + std::to_string(n));
      const double seconds = CompileSeconds(script, shape.language, text, compiled);
      sampler.End();
      const double kb = static_cast<double>(text.size()) / 1024;
      const double perKb = seconds * 1000 / kb;
      std::printf("%-22s %10d %8.0f %10s %12.1f %10.3f", shape.name, n, kb, compiled ? "yes" : "refused",
                  seconds * 1000, perKb);
      if (previous > 0) std::printf("   x%.2f", perKb / previous);
      std::printf("\n");
      previous = perKb;
    }
  }
  return 0;
}
