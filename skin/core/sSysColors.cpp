#include "skin/core/sSysColors.h"

#include <cstring>
#include <map>

#include "platform/vcl/colors.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"

namespace {

// One redirect: the entry patched, the five bytes it held, and the relay the new bytes jump to.
struct TXRedirCode {
  std::uint8_t* Entry = nullptr;
  std::array<std::uint8_t, 5> Saved{};
  std::uint8_t* Relay = nullptr;
  bool Hooked = false;
};

TXRedirCode WinGetSysColor, WinGetSysColorBrush, WinCreatePen;

using GetSysColorFn = DWORD(WINAPI*)(int);
using GetSysColorBrushFn = HBRUSH(WINAPI*)(int);
using CreatePenFn = HPEN(WINAPI*)(int, int, COLORREF);

// Follows the jumps an exported name may start with (import thunks, short forwarding jumps).
std::uint8_t* FollowJumps(std::uint8_t* p) {
  for (int hop = 0; p && hop < 4; ++hop) {
    if (p[0] == 0xFF && p[1] == 0x25) {  // jmp [rip + disp32]
      std::int32_t disp;
      std::memcpy(&disp, p + 2, 4);
      std::uint8_t* target;
      std::memcpy(&target, p + 6 + disp, sizeof target);
      p = target;
    } else if (p[0] == 0x48 && p[1] == 0xFF && p[2] == 0x25) {  // rex.w jmp [rip + disp32]
      std::int32_t disp;
      std::memcpy(&disp, p + 3, 4);
      std::uint8_t* target;
      std::memcpy(&target, p + 7 + disp, sizeof target);
      p = target;
    } else if (p[0] == 0xE9) {  // jmp rel32
      std::int32_t rel;
      std::memcpy(&rel, p + 1, 4);
      p = p + 5 + rel;
    } else {
      break;
    }
  }
  return p;
}

bool WriteCode(std::uint8_t* at, const void* bytes, size_t size) {
  DWORD old = 0;
  if (!VirtualProtect(at, size, PAGE_EXECUTE_READWRITE, &old)) return false;
  std::memcpy(at, bytes, size);
  DWORD ignored = 0;
  VirtualProtect(at, size, old, &ignored);
  FlushInstructionCache(GetCurrentProcess(), at, size);
  return true;
}

// A page within reach of a 32-bit relative jump from entry.
std::uint8_t* AllocateNear(std::uint8_t* entry) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const std::uintptr_t granularity = info.dwAllocationGranularity;
  const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(entry) & ~(granularity - 1);
  const std::uintptr_t reach = 0x70000000;  // well inside +-2 GB
  for (std::uintptr_t distance = granularity; distance < reach; distance += granularity) {
    for (int side = 0; side < 2; ++side) {
      std::uintptr_t at = side == 0 ? base - distance : base + distance;
      if (side == 0 && distance > base) continue;
      void* p = VirtualAlloc(reinterpret_cast<void*>(at), 64, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
      if (p) return static_cast<std::uint8_t*>(p);
    }
  }
  return nullptr;
}

bool Hook(TXRedirCode& r, const char* module, const char* name, void* replacement) {
  if (r.Hooked) return true;
  auto* entry = static_cast<std::uint8_t*>(SysFunctionEntry(module, name));
  if (!entry) return false;
  std::uint8_t* relay = AllocateNear(entry);
  if (!relay) return false;
  // The relay: jmp [rip + 0] followed by the replacement's absolute address.
  std::uint8_t code[14] = {0xFF, 0x25, 0, 0, 0, 0};
  std::memcpy(code + 6, &replacement, 8);
  std::memcpy(relay, code, sizeof code);
  FlushInstructionCache(GetCurrentProcess(), relay, sizeof code);
  const std::intptr_t rel = relay - (entry + 5);
  std::uint8_t jump[5] = {0xE9};
  const std::int32_t rel32 = static_cast<std::int32_t>(rel);
  std::memcpy(jump + 1, &rel32, 4);
  std::memcpy(r.Saved.data(), entry, 5);
  if (!WriteCode(entry, jump, 5)) {
    VirtualFree(relay, 0, MEM_RELEASE);
    return false;
  }
  r.Entry = entry;
  r.Relay = relay;
  r.Hooked = true;
  return true;
}

// Writes the saved bytes back (keep: the relay stays for Redirect to use again).
void Restore(TXRedirCode& r) {
  if (r.Hooked && r.Entry) WriteCode(r.Entry, r.Saved.data(), 5);
}

void Redirect(TXRedirCode& r) {
  if (!r.Hooked || !r.Entry) return;
  std::uint8_t jump[5] = {0xE9};
  const std::int32_t rel32 = static_cast<std::int32_t>(r.Relay - (r.Entry + 5));
  std::memcpy(jump + 1, &rel32, 4);
  WriteCode(r.Entry, jump, 5);
}

void UnHook(TXRedirCode& r) {
  if (!r.Hooked) return;
  Restore(r);
  VirtualFree(r.Relay, 0, MEM_RELEASE);
  r = TXRedirCode();
}

// Calls the system's own function with the redirect taken away for the call.
template <class Fn, class... Args>
auto CallReal(TXRedirCode& r, Fn fn, Args... args) {
  Restore(r);
  auto result = fn(args...);
  Redirect(r);
  return result;
}

DWORD RealGetSysColor(int index) {
  auto fn = reinterpret_cast<GetSysColorFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSysColor")));
  return WinGetSysColor.Hooked ? CallReal(WinGetSysColor, fn, index) : fn(index);
}

// A palette colour as RGB: a system colour value in the palette stands for the system's own colour.
COLORREF PaletteRGB(TsSkinManager* m, TlvPaletteColors c) {
  vcl::TColor v = m->Palette[static_cast<size_t>(c)];
  if (v < 0) return RealGetSysColor(v & 0xFF);
  return static_cast<COLORREF>(v) & 0xFFFFFF;
}

TsSkinManager* SkinSource() {
  TsSkinManager* m = DefaultManager;
  return m && !m->gd.empty() ? m : nullptr;
}

// The palette colour standing for a system colour index; false for an index that is not mapped.
bool MapIndex(int index, COLORREF& out) {
  TsSkinManager* m = SkinSource();
  if (!m) return false;
  switch (index) {
    case COLOR_WINDOW:
      out = PaletteRGB(m, pcEditBG);
      return true;
    case COLOR_WINDOWFRAME:
      out = PaletteRGB(m, pcBorder);
      return true;
    case COLOR_WINDOWTEXT:
      out = PaletteRGB(m, pcEditText);
      return true;
    case COLOR_HIGHLIGHT:
      out = PaletteRGB(m, pcSelectionBG_Focused);
      return true;
    case COLOR_HIGHLIGHTTEXT:
      out = PaletteRGB(m, pcSelectionText_Focused);
      return true;
    case COLOR_BTNSHADOW:
    case COLOR_3DDKSHADOW:
      out = static_cast<COLORREF>(MixColors(static_cast<vcl::TColor>(PaletteRGB(m, pcMainColor)), 0, 0.8));
      return true;
    case COLOR_3DLIGHT:
      out = static_cast<COLORREF>(MixColors(static_cast<vcl::TColor>(PaletteRGB(m, pcMainColor)), 0xFFFFFF, 0.8));
      return true;
    default:
      return false;
  }
}

// One brush per mapped index, made again when its colour changes; callers never delete them.
// Defined before redirectsAtExit, so it outlives it.
std::map<int, std::pair<COLORREF, HBRUSH>> brushCache;
std::map<int, std::pair<COLORREF, HBRUSH>>& Brushes() { return brushCache; }

void FreeBrushes() {
  for (auto& [index, b] : Brushes()) DeleteObject(b.second);
  Brushes().clear();
}

// Whatever is still redirected when the program ends is put back.
struct TRedirectsAtExit {
  ~TRedirectsAtExit() { HookSysColors(false); }
} redirectsAtExit;

}  // namespace

void* SysFunctionEntry(const char* module, const char* name) {
  HMODULE lib = GetModuleHandleA(module);
  if (!lib) lib = LoadLibraryA(module);
  if (!lib) return nullptr;
  auto* p = reinterpret_cast<std::uint8_t*>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
  return FollowJumps(p);
}

DWORD WINAPI lvGetSysColor(int index) {
  COLORREF c;
  if (MapIndex(index, c)) return c;
  return RealGetSysColor(index);
}

HBRUSH WINAPI lvGetSysColorBrush(int index) {
  COLORREF c;
  const bool mapped = (index == COLOR_WINDOW || index == COLOR_WINDOWTEXT || index == COLOR_HIGHLIGHT ||
                       index == COLOR_HIGHLIGHTTEXT) &&
                      MapIndex(index, c);
  if (!mapped) {
    auto fn = reinterpret_cast<GetSysColorBrushFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSysColorBrush")));
    return WinGetSysColorBrush.Hooked ? CallReal(WinGetSysColorBrush, fn, index) : fn(index);
  }
  auto& entry = Brushes()[index];
  if (!entry.second || entry.first != c) {
    if (entry.second) DeleteObject(entry.second);
    entry = {c, CreateSolidBrush(c)};
  }
  return entry.second;
}

HPEN WINAPI lvCreatePen(int style, int width, COLORREF color) {
  TsSkinManager* m = SkinSource();
  if (m) {
    switch (color) {
      case 5:
        color = PaletteRGB(m, pcEditBG);
        break;
      case 6:
        color = PaletteRGB(m, pcBorder);
        break;
      case 13:
        color = PaletteRGB(m, pcSelectionBG_Focused);
        break;
      case 14:
        color = PaletteRGB(m, pcSelectionText_Focused);
        break;
      case 15:
        color = PaletteRGB(m, pcMainColor);
        break;
      case 16:
      case 21:
        color = static_cast<COLORREF>(MixColors(static_cast<vcl::TColor>(PaletteRGB(m, pcMainColor)), 0, 0.8));
        break;
      case 22:
        color = static_cast<COLORREF>(MixColors(static_cast<vcl::TColor>(PaletteRGB(m, pcMainColor)), 0xFFFFFF, 0.8));
        break;
      case 0xC0C0C0:
      case 0xF0F0F0:
        color = static_cast<COLORREF>(MixColors(static_cast<vcl::TColor>(PaletteRGB(m, pcEditText)),
                                                static_cast<vcl::TColor>(PaletteRGB(m, pcEditBG)), 0.15));
        break;
      default:
        break;
    }
  }
  auto fn = reinterpret_cast<CreatePenFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"gdi32.dll"), "CreatePen")));
  return WinCreatePen.Hooked ? CallReal(WinCreatePen, fn, style, width, color) : fn(style, width, color);
}

bool HookGetSysColor() {
  return Hook(WinGetSysColor, "user32.dll", "GetSysColor", reinterpret_cast<void*>(&lvGetSysColor));
}
bool HookGetSysColorBrush() {
  return Hook(WinGetSysColorBrush, "user32.dll", "GetSysColorBrush", reinterpret_cast<void*>(&lvGetSysColorBrush));
}
bool HookCreatePen() { return Hook(WinCreatePen, "gdi32.dll", "CreatePen", reinterpret_cast<void*>(&lvCreatePen)); }
void UnHookGetSysColor() { UnHook(WinGetSysColor); }
void UnHookGetSysColorBrush() {
  UnHook(WinGetSysColorBrush);
  FreeBrushes();
}
void UnHookCreatePen() { UnHook(WinCreatePen); }

void HookSysColors(bool on) {
  if (on) {
    HookGetSysColor();
    HookGetSysColorBrush();
    HookCreatePen();
  } else {
    UnHookGetSysColor();
    UnHookGetSysColorBrush();
    UnHookCreatePen();
  }
}

bool SysColorsHooked() { return WinGetSysColor.Hooked || WinGetSysColorBrush.Hooked || WinCreatePen.Hooked; }
