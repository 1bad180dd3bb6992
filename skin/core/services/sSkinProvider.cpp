#include "skin/core/services/sSkinProvider.h"

#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"

TsCustomSkinProvider* MDISkinProvider = nullptr;
TsSkinableMenusFactory MakeSkinableMenus = nullptr;

TlvCustomBorderForm::~TlvCustomBorderForm() = default;

TsCustomSkinProvider::TsCustomSkinProvider(vcl::TComponent* owner, bool hookForm)
    : vcl::TComponent(owner),
      Form(dynamic_cast<vcl::TForm*>(owner)),
      FCommonData(std::make_unique<TsScrollWndData>(this, true)) {
  FCommonData->COC = COC_TsSkinProvider;
  if (!Form || !hookForm) return;
  HookForm(vcl::MakeWndMethod(this, &TsCustomSkinProvider::ProviderWndProc));
  if (Form->FormStyle() == vcl::fsMDIForm && !MDISkinProvider) MDISkinProvider = this;
}

TsCustomSkinProvider::~TsCustomSkinProvider() {
  if (MDISkinProvider == this) MDISkinProvider = nullptr;
  UnhookForm();
}

void TsCustomSkinProvider::HookForm(vcl::TWndMethod proc) {
  if (!Form || FHookProc) return;
  OldWndProc = Form->WindowProc;
  FHookProc = proc;
  Form->WindowProc = proc;
  IntSkinForm(Form);
}

void TsCustomSkinProvider::UnhookForm() {
  if (!Form || !FHookProc) return;
  IntUnSkinForm(Form);
  // Someone who came later and is still in front keeps their place; they will give back what they took.
  if (Form->WindowProc == FHookProc) Form->WindowProc = OldWndProc;
  FHookProc = vcl::TWndMethod();
}

void TsCustomSkinProvider::ProviderWndProc(vcl::TMessage& m) {
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
  OldWndProc(m);
}

int TsCustomSkinProvider::CaptionHeight(bool) { return GetSystemMetrics(SM_CYCAPTION); }

HRGN TsCustomSkinProvider::ShapeRegion(int x, int y) {
  if (!Form || !Form->HandleAllocated()) return nullptr;
  RECT r;
  GetWindowRect(Form->Handle(), &r);
  HRGN rgn = CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top);
  for (const vcl::TRect& cut : ArOR) {
    HRGN part = CreateRectRgn(cut.Left, cut.Top, cut.Right, cut.Bottom);
    CombineRgn(rgn, rgn, part, RGN_DIFF);
    DeleteObject(part);
  }
  OffsetRgn(rgn, x, y);
  return rgn;
}

void FillArOR(TsCustomSkinProvider* provider) {
  if (provider) provider->FillShape();
}

void UpdateRgn(TsCustomSkinProvider* provider, bool repaint, bool setRgnRedraw) {
  if (provider) provider->UpdateShape(repaint, setRgnRedraw);
}

HRGN GetRgnFromArOR(TsCustomSkinProvider* provider, int x, int y) {
  return provider ? provider->ShapeRegion(x, y) : nullptr;
}

std::unique_ptr<vcl::TBitmap> GetFormImage(TsCustomSkinProvider* provider, bool) {
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

bool StartMinimizing(TsCustomSkinProvider*) { return false; }
bool StartRestoring(TsCustomSkinProvider*) { return true; }
bool SetThumbIcon(HWND, TsCustomSkinProvider*, int, int) { return false; }
bool SetPreviewBmp(HWND, TsCustomSkinProvider*) { return false; }

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

VCL_REGISTER(TsCustomSkinProvider) {}
