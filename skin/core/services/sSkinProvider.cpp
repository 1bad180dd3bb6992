#include "skin/core/services/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"

TsSkinProvider* MDISkinProvider = nullptr;
TsSkinableMenusFactory MakeSkinableMenus = nullptr;

TlvBorderForm::~TlvBorderForm() = default;

TsSkinProvider::TsSkinProvider(vcl::TComponent* owner)
    : vcl::TComponent(owner),
      Form(dynamic_cast<vcl::TForm*>(owner)),
      FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsSkinProvider;
  if (!Form) return;
  FOldWndProc = Form->WindowProc;
  Form->WindowProc = vcl::MakeWndMethod(this, &TsSkinProvider::ProviderWndProc);
  IntSkinForm(Form);
  if (Form->FormStyle() == vcl::fsMDIForm && !MDISkinProvider) MDISkinProvider = this;
}

TsSkinProvider::~TsSkinProvider() {
  if (MDISkinProvider == this) MDISkinProvider = nullptr;
  if (!Form) return;
  IntUnSkinForm(Form);
  if (Form->WindowProc == vcl::MakeWndMethod(this, &TsSkinProvider::ProviderWndProc)) Form->WindowProc = FOldWndProc;
}

void TsSkinProvider::ProviderWndProc(vcl::TMessage& m) {
  if (m.Msg == SM_LUMICMD) {
    switch (m.WParamHi()) {
      case LVC_GETPROVIDER:
        m.Result = reinterpret_cast<LRESULT>(this);
        return;
      case LVC_CTRLHANDLED:
        m.Result = 1;
        return;
      default:
        break;
    }
  }
  FOldWndProc(m);
}

int TsSkinProvider::CaptionHeight(bool) { return GetSystemMetrics(SM_CYCAPTION); }

void FillArOR(TsSkinProvider* provider) {
  if (provider) provider->ArOR.clear();
}

void UpdateRgn(TsSkinProvider*, bool, bool) {}

HRGN GetRgnFromArOR(TsSkinProvider* provider, int x, int y) {
  if (!provider || !provider->Form || !provider->Form->HandleAllocated()) return nullptr;
  RECT r;
  GetWindowRect(provider->Form->Handle(), &r);
  HRGN rgn = CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top);
  for (const vcl::TRect& cut : provider->ArOR) {
    HRGN part = CreateRectRgn(cut.Left, cut.Top, cut.Right, cut.Bottom);
    CombineRgn(rgn, rgn, part, RGN_DIFF);
    DeleteObject(part);
  }
  OffsetRgn(rgn, x, y);
  return rgn;
}

std::unique_ptr<vcl::TBitmap> GetFormImage(TsSkinProvider* provider, bool) {
  auto bmp = std::make_unique<vcl::TBitmap>();
  if (!provider || !provider->Form || !provider->Form->HandleAllocated()) return bmp;
  HWND wnd = provider->Form->Handle();
  RECT r;
  GetWindowRect(wnd, &r);
  bmp->SetPixelFormat(vcl::pf32bit);
  bmp->SetSize(r.right - r.left, r.bottom - r.top);
  HDC dc = GetWindowDC(wnd);
  BitBlt(bmp->Canvas()->Handle(), 0, 0, bmp->Width(), bmp->Height(), dc, 0, 0, SRCCOPY);
  ReleaseDC(wnd, dc);
  return bmp;
}

bool StartMinimizing(TsSkinProvider*) { return false; }
bool StartRestoring(TsSkinProvider*) { return true; }
bool SetThumbIcon(HWND, TsSkinProvider*, int, int) { return false; }
bool SetPreviewBmp(HWND, TsSkinProvider*) { return false; }

namespace {

HMODULE Dwm() {
  static HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
  return dwm;
}

template <class Fn>
Fn DwmEntry(const char* name) {
  HMODULE dwm = Dwm();
  return dwm ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, name))) : nullptr;
}

}  // namespace

bool AeroIsEnabled() {
  auto fn = DwmEntry<HRESULT(WINAPI*)(BOOL*)>("DwmIsCompositionEnabled");
  BOOL on = FALSE;
  return fn && SUCCEEDED(fn(&on)) && on;
}

HRESULT DwmSetWindowAttribute(HWND wnd, DWORD attribute, const void* data, DWORD size) {
  auto fn = DwmEntry<HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD)>("DwmSetWindowAttribute");
  return fn ? fn(wnd, attribute, data, size) : E_NOTIMPL;
}

HRESULT DwmInvalidateIconicBitmaps(HWND wnd) {
  auto fn = DwmEntry<HRESULT(WINAPI*)(HWND)>("DwmInvalidateIconicBitmaps");
  return fn ? fn(wnd) : E_NOTIMPL;
}

VCL_REGISTER(TsSkinProvider) {}
