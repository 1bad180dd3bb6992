#include "skin/controls/sCalcUnit.h"

#include "platform/rtl/win.h"

namespace {

// The unit's values, filled at start-up and cleared at shutdown.
struct CalcStrings {
  rtl::String close, minimize;
  std::vector<vcl::TRect> rects;
  CalcStrings() {
    HMODULE user = LoadLibraryW(L"User32");
    if (!user) return;
    close = Read(user, 905);
    minimize = Read(user, 900);
    FreeLibrary(user);
  }
  ~CalcStrings() {
    close.clear();
    minimize.clear();
    rects.clear();
  }
  static rtl::String Read(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer length the answer points into the module's own string table (not terminated).
    const int n = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? rtl::String(text, static_cast<size_t>(n)) : rtl::String();
  }
};

CalcStrings& Unit() {
  static CalcStrings unit;
  return unit;
}

}  // namespace

const rtl::String& s_Close() { return Unit().close; }
const rtl::String& s_Minimize() { return Unit().minimize; }
std::vector<vcl::TRect>& ArOR() { return Unit().rects; }
