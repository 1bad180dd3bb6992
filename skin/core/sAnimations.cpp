#include "skin/core/sAnimations.h"

#include <algorithm>
#include <cmath>

#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"
#include "skin/core/lvntUtils.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sCtrlTree.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinBroadcast.h"
#include "skin/core/sSkinManager.h"
#include "skin/core/services/sDialogHook.h"
#include "skin/core/services/sSkinProvider.h"
#include "skin/render/sBlur.h"
#include "skin/render/sBmpCopy.h"
#include "skin/render/sPixels.h"
#include "skin/render/sSectionPaint.h"

VCL_REGISTER(TOutputWindow) {}
VCL_REGISTER(TlvHideTimer) {}

TOutputWindow* ow = nullptr;
std::unique_ptr<vcl::TBitmap> lvAnimBmp, lvAnimBmp2;
std::vector<vcl::TRect> lvCtrlRects1;
TlvHideTimer* lvHideTimer = nullptr;
int lvLastAnimFrames = 0;

namespace {

constexpr COLORREF kNoKey = 0x1FFFFFFF;
constexpr int kStepMs = 10;

// Clears InAnimationProcess on every way out of an animation.
struct TAnimating {
  TAnimating() { InAnimationProcess = true; }
  ~TAnimating() { InAnimationProcess = false; }
};

std::uint32_t* Row(vcl::TBitmap* bmp, int y) { return static_cast<std::uint32_t*>(bmp->ScanLine(y)); }

std::unique_ptr<vcl::TBitmap> NewBmp32(int width, int height) {
  auto bmp = std::make_unique<vcl::TBitmap>();
  bmp->SetPixelFormat(vcl::pf32bit);
  bmp->SetSize(std::max(width, 0), std::max(height, 0));
  return bmp;
}

std::unique_ptr<vcl::TBitmap> CopyOf(vcl::TBitmap* src) {
  auto bmp = NewBmp32(src->Width(), src->Height());
  BitBlt(bmp->Canvas()->Handle(), 0, 0, src->Width(), src->Height(), src->Canvas()->Handle(), 0, 0, SRCCOPY);
  return bmp;
}

void Clear(vcl::TBitmap* bmp) {
  for (int y = 0; y < bmp->Height(); ++y) std::fill_n(Row(bmp, y), bmp->Width(), 0u);
}

// The bitmap as the layered window's picture with constant alpha; pos moves the window when given.
void ShowLayered(HWND wnd, vcl::TBitmap* bmp, int alpha, const POINT* pos = nullptr) {
  if (!UpdateLayeredWindowProc || !wnd || !bmp) return;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  SIZE size{bmp->Width(), bmp->Height()};
  POINT origin{0, 0};
  HDC screen = GetDC(nullptr);
  UpdateLayeredWindowProc(wnd, screen, const_cast<POINT*>(pos), &size, bmp->Canvas()->Handle(), &origin, kNoKey, &blend,
                          ULW_ALPHA);
  ReleaseDC(nullptr, screen);
}

// Waits, busy, until 10 ms have passed since start (the step's own rhythm, as the show animations keep it).
void WaitStep(DWORD start) {
  while (GetTickCount() - start < static_cast<DWORD>(kStepMs)) Sleep(1);
}

// One frame of a growing or shrinking picture: the snapshot stretched into the rectangle, or copied whole once the
// rectangle has passed the edges.
void DrawAeroFrame(vcl::TBitmap* frame, vcl::TBitmap* snapshot, double l, double t, double r, double b) {
  Clear(frame);
  HDC dc = frame->Canvas()->Handle();
  SetStretchBltMode(dc, COLORONCOLOR);
  if (l < 0 || t < 0) {
    BitBlt(dc, 0, 0, snapshot->Width(), snapshot->Height(), snapshot->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    const int il = static_cast<int>(std::lround(l)), it = static_cast<int>(std::lround(t));
    const int ir = static_cast<int>(std::lround(r)), ib = static_cast<int>(std::lround(b));
    StretchBlt(dc, il, it, ir - il, ib - it, snapshot->Canvas()->Handle(), 0, 0, snapshot->Width(), snapshot->Height(),
               SRCCOPY);
  }
}

// The show animation's frames on the cover: alpha from 0 to maxTransparency in steps + 1 frames.
void RunShowFrames(HWND cover, vcl::TBitmap* snapshot, int steps, int maxTransparency, TlvAnimType animType,
                   bool dialog) {
  auto frame = NewBmp32(snapshot->Width(), snapshot->Height());
  SetStretchBltMode(frame->Canvas()->Handle(), COLORONCOLOR);
  lvLastAnimFrames = 0;
  if (steps > 0) {
    const double W = snapshot->Width(), H = snapshot->Height();
    double a = 0;
    const double step = static_cast<double>(maxTransparency) / (dialog ? steps + 1 : steps);
    double l = 0, t = 0, r = W, b = H, dx = 0, dy = 0;
    if (animType == atAero) {
      l = W / 8, t = H / 8, r = W - W / 8, b = H - H / 8;
      dx = (W / 8) / steps, dy = (H / 8) / steps;
    }
    for (int i = 0; i <= steps; ++i) {
      a = std::min<double>(maxTransparency, a + step);
      DWORD start = dialog ? GetTickCount() : 0;
      if (animType == atAero)
        DrawAeroFrame(frame.get(), snapshot, l, t, r, b);
      else if (i == 0)
        BitBlt(frame->Canvas()->Handle(), 0, 0, snapshot->Width(), snapshot->Height(), snapshot->Canvas()->Handle(), 0,
               0, SRCCOPY);
      if (!dialog) start = GetTickCount();
      ShowLayered(cover, frame.get(), static_cast<int>(std::lround(a)));
      ++lvLastAnimFrames;
      l -= dx, t -= dy, r += dx, b += dy;
      WaitStep(start);
    }
  }
  ShowLayered(cover, snapshot, maxTransparency);
  if (steps <= 0) lvLastAnimFrames = 1;
}

// Places the cover at rect, layered and without activation, showing the snapshot with alpha.
void PlaceCover(HWND cover, const RECT& rect, HWND insertAfter, vcl::TBitmap* snapshot, int alpha) {
  SetWindowLongPtrW(cover, GWL_EXSTYLE,
                    GetWindowLongPtrW(cover, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
  POINT pos{rect.left, rect.top};
  ShowLayered(cover, snapshot, alpha, &pos);
  SetWindowPos(cover, insertAfter, rect.left, rect.top, snapshot->Width(), snapshot->Height(),
               SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
}

bool AeroOn() { return AeroIsEnabled(); }

LRESULT CALLBACK CoverProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(wnd, &ps);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      return DefWindowProcW(wnd, msg, wParam, lParam);
  }
}

const wchar_t* CoverClass() {
  static const wchar_t* name = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = CoverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"lvCoverWindow";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassExW(&wc);
    return L"lvCoverWindow";
  }();
  return name;
}

vcl::TRect ClientRectOf(vcl::TWinControl* ctrl) { return vcl::Rect(0, 0, ctrl->Width(), ctrl->Height()); }

TsCustomSkinProvider* ProviderOf(HWND wnd) {
  if (!wnd) return nullptr;
  return reinterpret_cast<TsCustomSkinProvider*>(SendMessageW(wnd, SM_LUMICMD, MakeLumiWParam(LVC_GETPROVIDER), 0));
}

// Pixels equal to the background become 0, the others get alpha 255.
void KeyAgainst(vcl::TBitmap* bmp, vcl::TBitmap* bg) {
  const int w = std::min(bmp->Width(), bg->Width()), h = std::min(bmp->Height(), bg->Height());
  for (int y = 0; y < h; ++y) {
    std::uint32_t* p = Row(bmp, y);
    const std::uint32_t* q = Row(bg, y);
    for (int x = 0; x < w; ++x) p[x] = (p[x] & 0xFFFFFF) == (q[x] & 0xFFFFFF) ? 0u : (p[x] | 0xFF000000u);
  }
}

void DrawBackground(vcl::TWinControl* ctrl, vcl::TBitmap* bmp) {
  TlvBGInfo info;
  info.Bmp = bmp;
  info.PleaseDraw = true;
  info.R = ClientRectOf(ctrl);
  GetBGInfo(info, ctrl, true);
  if (info.BgType == btFill) {
    bmp->Canvas()->Brush()->SetColor(static_cast<vcl::TColor>(info.Color));
    RECT r{0, 0, bmp->Width(), bmp->Height()};
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(info.Color) & 0xFFFFFF);
    FillRect(bmp->Canvas()->Handle(), &r, brush);
    DeleteObject(brush);
  }
}

}  // namespace

// --- Output and cover windows ---

TOutputWindow::TOutputWindow(vcl::TComponent* owner) : vcl::TCustomControl(owner) {
  SetVisible(false);
  SetCaption(L"lvOutputWindow");
  SetColor(static_cast<vcl::TColor>(0xFF00FF));
  SetTag(256);
}

void TOutputWindow::CreateParams(vcl::TCreateParams& params) {
  vcl::TCustomControl::CreateParams(params);
  if (!Parent() && !ParentWindow()) {
    params.Style = WS_POPUP;
    params.WndParent = vcl::Application ? vcl::Application->Handle() : nullptr;
    if (params.WndParent && (GetWindowLongPtrW(params.WndParent, GWL_EXSTYLE) & WS_EX_TOPMOST))
      params.ExStyle |= WS_EX_TOPMOST;
  }
}

void TOutputWindow::WndProc(vcl::TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_PAINT: {
      // Nothing is painted: the old picture stays on the screen.
      PAINTSTRUCT ps;
      BeginPaint(Handle(), &ps);
      EndPaint(Handle(), &ps);
      message.Result = 0;
      return;
    }
    default:
      vcl::TCustomControl::WndProc(message);
  }
}

TlvCoverWindow::TlvCoverWindow() {
  FHandle = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_LAYERED, CoverClass(), L"", WS_POPUP, 0, 0, 0,
                            0, vcl::Application ? vcl::Application->Handle() : nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

TlvCoverWindow::TlvCoverWindow(vcl::TWinControl* form) : FForm(form) {
  if (form) FHandle = form->Handle();
}

TlvCoverWindow::~TlvCoverWindow() {
  if (FForm)
    FForm.reset();
  else if (FHandle && IsWindow(FHandle))
    DestroyWindow(FHandle);
}

// --- Helpers ---

bool DoLayered(HWND handle, bool layered, std::uint8_t alphaValue) {
  if (!handle) return false;
  const LONG_PTR ex = GetWindowLongPtrW(handle, GWL_EXSTYLE);
  if (layered && lvLayered()) {
    bool added = false;
    if (!(ex & WS_EX_LAYERED)) {
      SetWindowLongPtrW(handle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
      added = true;
    }
    if (SetLayeredWindowAttributesProc) SetLayeredWindowAttributesProc(handle, kNoKey, alphaValue, LWA_ALPHA);
    return added;
  }
  SetWindowLongPtrW(handle, GWL_STYLE, GetWindowLongPtrW(handle, GWL_STYLE) & ~WS_VISIBLE);
  SetWindowLongPtrW(handle, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
  return false;
}

void SetFormBlendValue(HWND handle, vcl::TBitmap* bmp, int value, const POINT* newPos) {
  if (!handle) return;
  std::unique_ptr<vcl::TBitmap> temp;
  if (!bmp) {
    RECT r;
    GetWindowRect(handle, &r);
    temp = NewBmp32(r.right - r.left, r.bottom - r.top);
    bmp = temp.get();
  }
  const LONG_PTR ex = GetWindowLongPtrW(handle, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) {
    const bool aero = AeroOn();
    const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
    if (!aero) SetWindowLongPtrW(handle, GWL_STYLE, style & ~WS_VISIBLE);
    SetWindowLongPtrW(handle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (!aero) {
      RECT r;
      GetWindowRect(handle, &r);
      RedrawWindow(GetDesktopWindow(), &r, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_INVALIDATE);
      SetWindowLongPtrW(handle, GWL_STYLE, style);
    }
  }
  ShowLayered(handle, bmp, value, newPos);
}

void SumBmpRect32(vcl::TBitmap* dst, vcl::TRect dstRect, vcl::TBitmap* src, int alpha, vcl::TPoint srcPos) {
  if (!dst || !src || dst->PixelFormat() != vcl::pf32bit || src->PixelFormat() != vcl::pf32bit) return;
  // A negative position moves the other origin instead.
  if (srcPos.X < 0) dstRect.Left -= srcPos.X, srcPos.X = 0;
  if (srcPos.Y < 0) dstRect.Top -= srcPos.Y, srcPos.Y = 0;
  if (dstRect.Left < 0) srcPos.X -= dstRect.Left, dstRect.Left = 0;
  if (dstRect.Top < 0) srcPos.Y -= dstRect.Top, dstRect.Top = 0;
  dstRect.Right = std::min(dstRect.Right, dst->Width());
  dstRect.Bottom = std::min(dstRect.Bottom, dst->Height());
  dstRect.Right = std::min(dstRect.Right, dstRect.Left + src->Width() - srcPos.X);
  dstRect.Bottom = std::min(dstRect.Bottom, dstRect.Top + src->Height() - srcPos.Y);
  for (int y = dstRect.Top; y < dstRect.Bottom; ++y) {
    auto* d = reinterpret_cast<TsColor_*>(Row(dst, y));
    const auto* s = reinterpret_cast<const TsColor_*>(Row(src, srcPos.Y + y - dstRect.Top));
    for (int x = dstRect.Left; x < dstRect.Right; ++x) {
      const TsColor_ sp = s[srcPos.X + x - dstRect.Left];
      if (sp.A == 0) continue;
      const int k = (sp.A * alpha) >> 8;
      TsColor_& dp = d[x];
      dp.B = static_cast<std::uint8_t>(((255 - k) * dp.B + k * sp.B) >> 8);
      dp.G = static_cast<std::uint8_t>(((255 - k) * dp.G + k * sp.G) >> 8);
      dp.R = static_cast<std::uint8_t>(((255 - k) * dp.R + k * sp.R) >> 8);
    }
  }
}

void CleanPixelsByArOR(const std::vector<vcl::TRect>& rects, vcl::TBitmap* bmp) {
  if (!bmp || bmp->PixelFormat() != vcl::pf32bit) return;
  for (const vcl::TRect& r : rects) {
    const int l = std::max(0, r.Left), t = std::max(0, r.Top);
    const int rr = std::min(bmp->Width(), r.Right), bb = std::min(bmp->Height(), r.Bottom);
    for (int y = t; y < bb; ++y)
      if (l < rr) std::fill(Row(bmp, y) + l, Row(bmp, y) + rr, 0u);
  }
}

void PrintDlgClient(TlvCustomDialogWnd* dialogWnd, vcl::TBitmap* bmp, bool fromScreen) {
  if (!dialogWnd || !dialogWnd->CtrlHandle || !bmp) return;
  HWND wnd = dialogWnd->CtrlHandle;
  RECT client;
  GetClientRect(wnd, &client);
  const int ox = dialogWnd->OffsetX(), oy = dialogWnd->OffsetY();
  const vcl::TRect area(ox, oy, std::min<int>(bmp->Width(), ox + client.right),
                        std::min<int>(bmp->Height(), oy + client.bottom));
  if (fromScreen) {
    HDC dc = GetWindowDC(wnd);
    BitBlt(bmp->Canvas()->Handle(), ox, oy, client.right, client.bottom, dc, ox, oy, SRCCOPY);
    ReleaseDC(wnd, dc);
    FillAlphaRect(bmp, area, 255);
    return;
  }
  HDC dc = bmp->Canvas()->Handle();
  const int saved = SaveDC(dc);
  SetViewportOrgEx(dc, ox, oy, nullptr);
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  TlvCustomProvider::PrintHwndControls(wnd, dc);
  RestoreDC(dc, saved);
  FillAlphaRect(bmp, dialogWnd->BorderForm ? area : vcl::Rect(0, 0, bmp->Width(), bmp->Height()), 255);
}

// --- Show animations ---

void AnimShowForm(TsCustomSkinProvider* skinProvider, std::uint16_t wTime, int maxTransparency, TlvAnimType animType) {
  if (!skinProvider || !skinProvider->FCommonData || !skinProvider->Form) return;
  vcl::TForm* form = skinProvider->Form;
  HWND wnd = form->Handle();
  if (IsIconic(wnd)) return;
  {
    TAnimating animating;
    // The extended-border window is built with the skinned forms; until then every form is covered by a window
    // of its own rectangle.
    skinProvider->PaintAll();
    vcl::TBitmap* cache = skinProvider->FCommonData->CacheBmp();
    if (!cache || cache->Empty()) return;
    auto snapshot = GetFormImage(skinProvider, false);
    if (!snapshot) return;
    FillAlphaRect(snapshot.get(), vcl::Rect(0, 0, snapshot->Width(), snapshot->Height()), 255);
    const int steps = wTime / kStepMs;
    const int firstAlpha = steps ? 0 : maxTransparency;
    RECT wr;
    GetWindowRect(wnd, &wr);
    FillArOR(skinProvider);
    CleanPixelsByArOR(skinProvider->ArOR, snapshot.get());
    TlvCoverWindow cover;
    const bool topmost = GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST;
    HWND after = topmost ? HWND_TOPMOST : GetWindow(wnd, GW_HWNDPREV);
    if (!after) after = HWND_TOP;
    PlaceCover(cover.Handle(), wr, after, snapshot.get(), firstAlpha);
    RunShowFrames(cover.Handle(), snapshot.get(), steps, maxTransparency, animType, false);
    skinProvider->FInAnimation = false;
    SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    SetWindowPos(wnd, cover.Handle(), 0, 0, 0, 0, 0x61B);
    InAnimationProcess = false;
    SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(wnd, nullptr, nullptr, 0x785);
    if (AeroOn()) Sleep(40);
  }
  skinProvider->OnAfterAnimation(skinProvider, aeShowing);
}

void AnimShowDlg(TlvCustomDialogWnd* dialogWnd, std::uint16_t wTime, int maxTransparency, TlvAnimType animType) {
  if (!dialogWnd || !dialogWnd->CtrlHandle || !dialogWnd->SkinData || IsIconic(dialogWnd->CtrlHandle)) return;
  HWND wnd = dialogWnd->CtrlHandle;
  TAnimating animating;
  dialogWnd->PaintAll();
  vcl::TBitmap* cache = dialogWnd->SkinData->CacheBmp();
  if (!cache || cache->Empty()) return;
  auto snapshot = CopyOf(cache);
  PrintDlgClient(dialogWnd, snapshot.get(), false);
  const int steps = wTime / kStepMs;
  RECT wr;
  GetWindowRect(wnd, &wr);
  TlvCoverWindow cover;
  HWND after = GetWindow(wnd, GW_HWNDPREV);
  PlaceCover(cover.Handle(), wr, after ? after : HWND_TOP, snapshot.get(), steps ? 0 : maxTransparency);
  RunShowFrames(cover.Handle(), snapshot.get(), steps, maxTransparency, animType, true);
  SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
  SetWindowPos(wnd, cover.Handle(), 0, 0, 0, 0, 0x61B);
  RedrawWindow(wnd, nullptr, nullptr, 0x585);
  if (AeroOn()) Sleep(40);
}

// --- Hide animations ---

TlvHideTimer::TlvHideTimer(vcl::TComponent* owner) : TlvThreadedTimer(owner) {
  ParentWnd = nullptr;
  EventCalled = false;
  SetEnabled(false);
}

TlvHideTimer::~TlvHideTimer() {
  SetEnabled(false);
  CallEvent();
  SrcBmp.reset();
  DstBmp.reset();
  Form.reset();
  if (lvHideTimer == this) lvHideTimer = nullptr;
}

void TlvHideTimer::CallEvent() {
  if (EventCalled || !ParentWnd || !IsWindow(ParentWnd)) return;
  TsCustomSkinProvider* provider = ProviderOf(ParentWnd);
  if (provider && provider->OnAfterAnimation) {
    EventCalled = true;
    provider->OnAfterAnimation(provider, aeHiding);
  }
}

void TlvHideTimer::OnTimerProc(rtl::TObject*) {
  if (!Form) return;
  if (i > StepCount) {
    CallEvent();
    SetInterval(65535);
    SetOnTimer(nullptr);
    SetEnabled(false);
    Form.reset();
    SrcBmp.reset();
    DstBmp.reset();
    return;
  }
  Trans = std::max(0.0, Trans - p);
  FBlend.SourceConstantAlpha = static_cast<BYTE>(std::lround(Trans));
  if (AnimType == atAero)
    DrawAeroFrame(DstBmp.get(), SrcBmp.get(), l, t, r, b);
  else if (i == 0)
    BitBlt(DstBmp->Canvas()->Handle(), 0, 0, SrcBmp->Width(), SrcBmp->Height(), SrcBmp->Canvas()->Handle(), 0, 0,
           SRCCOPY);
  ShowLayered(Form->Handle(), DstBmp.get(), FBlend.SourceConstantAlpha);
  l -= dx, t -= dy, r += dx, b += dy;
  ++i;
}

void HideAnimForm(std::unique_ptr<TlvCoverWindow> form, std::unique_ptr<vcl::TBitmap> bmp, std::uint16_t wTime,
                  int startBlendValue, TlvAnimType animType, HWND parentWnd) {
  if (lvHideTimer) lvHideTimer->Form.reset();
  const int steps = wTime / kStepMs;
  if (steps <= 0 || !form || !bmp) return;  // the cover and snapshot go unseen
  if (!lvHideTimer) lvHideTimer = new TlvHideTimer(vcl::Application);
  TlvHideTimer* h = lvHideTimer;
  h->SetEnabled(false);
  h->ParentWnd = parentWnd;
  h->EventCalled = false;
  h->i = 0;
  h->SrcBmp = std::move(bmp);
  h->StartBlendValue = startBlendValue;
  h->Form = std::move(form);
  h->AnimType = animType;
  h->SetInterval(kStepMs);
  h->StepCount = steps;
  h->FBmpSize = vcl::TSize(h->SrcBmp->Width(), h->SrcBmp->Height());
  h->FBlend.SourceConstantAlpha = static_cast<BYTE>(std::clamp(startBlendValue, 0, 255));
  HWND cover = h->Form->Handle();
  RECT wr;
  GetWindowRect(cover, &wr);
  SetWindowLongPtrW(cover, GWL_EXSTYLE, GetWindowLongPtrW(cover, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
  ShowLayered(cover, h->SrcBmp.get(), startBlendValue);
  SetWindowPos(cover, HWND_TOPMOST, wr.left, wr.top, h->FBmpSize.cx, h->FBmpSize.cy,
               SWP_NOOWNERZORDER | SWP_NOCOPYBITS | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
  h->DstBmp = NewBmp32(h->FBmpSize.cx, h->FBmpSize.cy);
  h->Trans = startBlendValue;
  h->p = static_cast<double>(startBlendValue) / steps;
  const double W = h->FBmpSize.cx, H = h->FBmpSize.cy;
  if (animType == atAero) {
    h->l = 0, h->t = 0, h->r = W, h->b = H;
    h->dx = -W / (8.0 * steps), h->dy = -H / (8.0 * steps);
  } else {
    h->l = h->t = h->r = h->b = h->dx = h->dy = 0;
  }
  if (vcl::Application && vcl::Application->Terminated()) {
    while (h->Form) {
      const DWORD start = GetTickCount();
      h->OnTimerProc(h);
      WaitStep(start);
    }
    return;
  }
  vcl::TNotifyEvent step;
  step = [h](rtl::TObject* sender) { h->OnTimerProc(sender); };
  h->SetOnTimer(step);
  h->OnTimerProc(h);
  h->SetEnabled(true);
}

void AnimHideForm(TsCustomSkinProvider* skinProvider) {
  ClearGlows(true);
  if (!skinProvider || !skinProvider->Form || !skinProvider->FCommonData) return;
  vcl::TForm* form = skinProvider->Form;
  if (form->FormStyle() == vcl::fsMDIChild) return;
  vcl::TBitmap* cache = skinProvider->FCommonData->CacheBmp();
  if (!cache || cache->Empty()) return;
  TAnimating animating;
  if (!(skinProvider->FormState & FS_ANIMCLOSING)) skinProvider->PaintAll();
  HWND wnd = form->Handle();
  std::unique_ptr<TlvCoverWindow> cover;
  if (skinProvider->CoverForm) {
    cover = std::make_unique<TlvCoverWindow>(skinProvider->CoverForm);
    skinProvider->CoverForm = nullptr;
  } else {
    cover = std::make_unique<TlvCoverWindow>();
  }
  RECT wr;
  GetWindowRect(wnd, &wr);
  SetWindowPos(cover->Handle(), nullptr, wr.left, wr.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  DoLayered(wnd, true, 1);
  auto snapshot = CopyOf(skinProvider->FCommonData->CacheBmp());
  CleanPixelsByArOR(skinProvider->ArOR, snapshot.get());
  const TlvFormAnimation* anim =
      skinProvider->SkinManager() ? skinProvider->SkinManager()->AnimEffects()->FormHide() : nullptr;
  HideAnimForm(std::move(cover), std::move(snapshot), anim ? anim->Time() : 0, 255, anim ? anim->Mode() : atFading,
               wnd);
  DoLayered(wnd, false, 255);
}

void AnimHideDlg(TlvCustomDialogWnd* dialogWnd) {
  ClearGlows(false);
  if (!dialogWnd || !dialogWnd->CtrlHandle || !dialogWnd->SkinData) return;
  vcl::TBitmap* cache = dialogWnd->SkinData->CacheBmp();
  if (!cache || cache->Empty()) return;
  TAnimating animating;
  std::unique_ptr<TlvCoverWindow> cover;
  if (dialogWnd->CoverForm) {
    cover = std::make_unique<TlvCoverWindow>(dialogWnd->CoverForm);
    dialogWnd->CoverForm = nullptr;
  } else {
    cover = std::make_unique<TlvCoverWindow>();
  }
  RECT wr;
  GetWindowRect(dialogWnd->CtrlHandle, &wr);
  SetWindowPos(cover->Handle(), nullptr, wr.left, wr.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  TsSkinManager* m = dialogWnd->SkinManager ? dialogWnd->SkinManager : DefaultManager;
  const TlvFormAnimation* anim = m ? m->AnimEffects()->DialogHide() : nullptr;
  HideAnimForm(std::move(cover), CopyOf(cache), anim ? anim->Time() : 0, 255, anim ? anim->Mode() : atFading, nullptr);
}

// --- Control cross-fades ---

void PrepareForAnimation(vcl::TWinControl* ctrl, TlvAnimTypeCtrl animType) {
  if (!ctrl || !ctrl->HandleAllocated() || !IsWindowVisible(ctrl->Handle())) return;
  if (IsIconic(GetRootParent(ctrl->Handle()))) return;
  RECT wr;
  GetWindowRect(ctrl->Handle(), &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (!lvAnimBmp) lvAnimBmp = NewBmp32(w, h);
  lvAnimBmp->SetSize(w, h);
  HDC screen = GetDC(nullptr);
  BitBlt(lvAnimBmp->Canvas()->Handle(), 0, 0, w, h, screen, wr.left, wr.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  if (animType == atcBlur) {
    vcl::TWinControl* container = ctrl;
    for (int i = 0; i < ctrl->ControlCount(); ++i) {
      auto* c = dynamic_cast<vcl::TWinControl*>(ctrl->Controls(i));
      if (c && c->Visible() && c->ControlCount() > 0) {
        container = c;
        break;
      }
    }
    lvCtrlRects1.clear();
    for (int i = 0; i < container->ControlCount(); ++i) {
      vcl::TControl* c = container->Controls(i);
      if (!c->Visible()) continue;
      vcl::TRect r = c->BoundsRect();
      r = vcl::Rect(std::max(0, r.Left - 4), std::max(0, r.Top - 4), std::min(container->Width(), r.Right + 4),
                    std::min(container->Height(), r.Bottom + 4));
      lvCtrlRects1.push_back(r);
    }
    lvAnimBmp2 = NewBmp32(w, h);
    DrawBackground(ctrl, lvAnimBmp2.get());
    KeyAgainst(lvAnimBmp.get(), lvAnimBmp2.get());
  }
  if (!ow) ow = new TOutputWindow(vcl::Application);
  if (ctrl->Parent()) {
    ow->SetParent(ctrl->Parent());
    ow->SetBounds(ctrl->Left(), ctrl->Top(), ctrl->Width(), ctrl->Height());
    SetWindowPos(ow->Handle(), ctrl->Handle(), ctrl->Left(), ctrl->Top(), ctrl->Width(), ctrl->Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // Just above the control in Z order, so that it covers it.
    SetWindowPos(ow->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    HWND owh = ow->Handle();
    HWND above = GetWindow(ctrl->Handle(), GW_HWNDPREV);
    SetWindowPos(owh, above ? above : HWND_TOP, wr.left, wr.top, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

void AnimShowControl(vcl::TWinControl* ctrl, std::uint16_t wTime, int maxTransparency, TlvAnimTypeCtrl animType) {
  lvLastAnimFrames = 0;
  if (!ctrl || !ctrl->HandleAllocated() || !IsWindowVisible(ctrl->Handle()) ||
      IsIconic(GetRootParent(ctrl->Handle()))) {
    return;
  }
  (void)maxTransparency;
  {
    TAnimating animating;
    if (!ow) PrepareForAnimation(ctrl, atcFade);
    if (!ow || !lvAnimBmp) return;
    const int w = ctrl->Width(), h = ctrl->Height();
    auto after = NewBmp32(w, h);
    SkinPaintTo(after.get(), ctrl, 0, 0, ProviderOf(ctrl->Handle()));
    auto work = NewBmp32(w, h);
    std::unique_ptr<vcl::TBitmap> bg, masked;
    if (animType == atcBlur) {
      bg = NewBmp32(w, h);
      DrawBackground(ctrl, bg.get());
      KeyAgainst(after.get(), bg.get());
      masked = CopyOf(after.get());
    }
    const int steps = wTime / kStepMs;
    HDC owDC = GetWindowDC(ow->Handle());
    if (steps > 0) {
      const int s = 255 / steps;
      int a = 255, f = 128 - s;
      for (int i = 0; i <= steps && a >= 0; ++i) {
        const DWORD start = GetTickCount();
        if (animType == atcBlur) {
          QBlur(lvAnimBmp.get());
          BitBlt(work->Canvas()->Handle(), 0, 0, w, h, bg->Canvas()->Handle(), 0, 0, SRCCOPY);
          if (i == 0) {
            SumBmpRect32(work.get(), vcl::Rect(0, 0, w, h), lvAnimBmp.get(), f, vcl::TPoint());
          } else if (f > 0) {
            for (const vcl::TRect& cr : lvCtrlRects1) {
              const int grow = 2 * i + 1;
              vcl::TRect big(cr.Left - grow, cr.Top - grow, cr.Right + grow, cr.Bottom + grow);
              auto part = NewBmp32(big.Width(), big.Height());
              SetStretchBltMode(part->Canvas()->Handle(), COLORONCOLOR);
              StretchBlt(part->Canvas()->Handle(), 0, 0, big.Width(), big.Height(), lvAnimBmp->Canvas()->Handle(),
                         cr.Left, cr.Top, cr.Width(), cr.Height(), SRCCOPY);
              FillAlphaRect(part.get(), vcl::Rect(0, 0, part->Width(), part->Height()), 255);
              SumBmpRect32(work.get(), big, part.get(), f, vcl::TPoint());
            }
          }
          SumBmpRect32(work.get(), vcl::Rect(0, 0, w, h), masked.get(), 255 - a, vcl::TPoint());
        } else {
          SumBitmapsByMask(work.get(), lvAnimBmp.get(), after.get(), nullptr, std::max(0, a));
        }
        BitBlt(owDC, 0, 0, w, h, work->Canvas()->Handle(), 0, 0, SRCCOPY);
        ++lvLastAnimFrames;
        if (lvMagnForm && lvMagnForm->HandleAllocated())
          SendMessageW(lvMagnForm->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), 0);
        f = std::max(0, f - s);
        a -= s;
        if (i < steps) WaitStep(start);
      }
    }
    if (animType != atcBlur) {
      BitBlt(owDC, 0, 0, w, h, after->Canvas()->Handle(), 0, 0, SRCCOPY);
      BitBlt(work->Canvas()->Handle(), 0, 0, w, h, after->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    ReleaseDC(ow->Handle(), owDC);
    if (lvMagnForm && lvMagnForm->HandleAllocated())
      SendMessageW(lvMagnForm->Handle(), SM_LUMICMD, MakeLumiWParam(LVC_REFRESH), 0);
    InAnimationProcess = false;
    if (IsWindowVisible(ctrl->Handle())) {
      SendMessageW(ctrl->Handle(), WM_SETREDRAW, TRUE, 0);
      RedrawWindow(ctrl->Handle(), nullptr, nullptr, 0x585);
      ShowWindow(ow->Handle(), SW_HIDE);
    }
  }
  delete ow;
  ow = nullptr;
  lvAnimBmp.reset();
  lvAnimBmp2.reset();
  lvCtrlRects1.clear();
}
