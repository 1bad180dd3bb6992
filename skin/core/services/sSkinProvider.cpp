#include "skin/core/services/sSkinProvider.h"

#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/render/sGraphUtils.h"
#include "skin/render/sPixels.h"

TsCustomSkinProvider* MDISkinProvider = nullptr;
TsSkinableMenusFactory MakeSkinableMenus = nullptr;
bool lvCanHookMenu = false;

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

std::unique_ptr<vcl::TBitmap> GetFormImage(TsCustomSkinProvider* provider, bool freeCache) {
  if (!provider || !provider->FCommonData) return nullptr;
  vcl::TBitmap* cache = provider->FCommonData->CacheBmp();
  if (!cache || cache->Empty()) return nullptr;
  auto bmp = CreateBmp32(cache->Width(), cache->Height());
  HDC dc = bmp->Canvas()->Handle();
  // The frame and the client background come from the cache, the controls over it at the client's place.
  BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
  if (vcl::TForm* form = provider->Form; form && form->HandleAllocated()) {
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, provider->OffsetX(), provider->OffsetY(), nullptr);
    IntersectClipRect(dc, 0, 0, form->ClientWidth(), form->ClientHeight());
    PaintChildCtrls(form, bmp.get());
    RestoreDC(dc, saved);
  }
  GdiFlush();
  if (!provider->BorderForm) FillAlphaRect(bmp.get(), vcl::Rect(0, 0, bmp->Width(), bmp->Height()), 255);
  // The next painting builds the image again.
  if (freeCache) cache->SetSize(0, 0);
  return bmp;
}

TlvFormEffectHooks FormEffectHooks;

bool StartMinimizing(TsCustomSkinProvider* provider) {
  return FormEffectHooks.StartMinimizing && FormEffectHooks.StartMinimizing(provider);
}

bool StartRestoring(TsCustomSkinProvider* provider) {
  return !FormEffectHooks.StartRestoring || FormEffectHooks.StartRestoring(provider);
}

bool SetThumbIcon(HWND appWnd, TsCustomSkinProvider* provider, int width, int height) {
  return FormEffectHooks.SetThumbIcon && FormEffectHooks.SetThumbIcon(appWnd, provider, width, height);
}

bool SetPreviewBmp(HWND appWnd, TsCustomSkinProvider* provider) {
  return FormEffectHooks.SetPreviewBmp && FormEffectHooks.SetPreviewBmp(appWnd, provider);
}

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
